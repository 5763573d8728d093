// Code ahead of the menu library's own, for a second build of it whose
// functions, the hook among them, lie at other offsets than the first's.
extern "C" int SwvShift(volatile int *p)
{
    for (int i = 0; i < 64; i++)
        p[i] = p[63 - i] * 7 + i;
    return p[3];
}
