# Sourced by the scripts: whether this machine runs 32-bit x86 programs.
# Some kernels run 64-bit user code only (IA-32 emulation off): the 32-bit
# Wine loader is refused there, and with it every 32-bit Windows program,
# WoW64 included. 64-bit Wine works on every machine, started by its own
# loader.
#
# Sets SWV_RUNS_32BIT to 1 or 0 and, when 0, SWV_NO_32BIT_WHY to a reason.
WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
swv_probe_widths() {
    local out
    if out="$("$WINE32" --version 2>&1)"; then
        SWV_RUNS_32BIT=1
        SWV_NO_32BIT_WHY=
    else
        SWV_RUNS_32BIT=0
        SWV_NO_32BIT_WHY="this machine runs no 32-bit code (the 32-bit Wine loader: ${out##*: })"
    fi
    export SWV_RUNS_32BIT SWV_NO_32BIT_WHY
}
