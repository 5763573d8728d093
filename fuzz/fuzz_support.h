/* Shared pieces of the fuzz targets: reading the numbers at the head of an
   input, guarded buffers and a check that stops the run with a message. */
#pragma once

#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

/* abort() rather than assert(): the check must hold in every build. */
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);               \
            abort();                                                                               \
        }                                                                                          \
    } while (0)

/* Reads the input from the front: decimal numbers first, then text. */
class FuzzInput
{
  public:
    FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    /* Up to nine digits and the one character after them. A value in
       [lo, hi] is taken as written; any other wraps into the range, so that
       no input is wasted on it. */
    int Number(int lo, int hi)
    {
        long value = 0;
        int digits = 0;
        while (pos_ < size_ && digits < 9 && data_[pos_] >= '0' && data_[pos_] <= '9') {
            value = value * 10 + (data_[pos_++] - '0');
            digits++;
        }
        if (pos_ < size_)
            pos_++;
        if (value >= lo && value <= hi)
            return (int)value;
        return lo + (int)(value % ((long)hi - lo + 1));
    }

    /* The text up to end (not included) or to the end of the input. */
    std::string Field(char end)
    {
        std::string s;
        while (pos_ < size_ && data_[pos_] != (uint8_t)end)
            s += (char)data_[pos_++];
        if (pos_ < size_)
            pos_++;
        return s;
    }

    /* The rest, up to its first NUL: what a C string of it holds. */
    std::string Text()
    {
        std::string s;
        while (pos_ < size_ && data_[pos_])
            s += (char)data_[pos_++];
        pos_ = size_;
        return s;
    }

    /* The rest, NULs and all. */
    std::string Rest()
    {
        std::string s(reinterpret_cast<const char *>(data_) + pos_, size_ - pos_);
        pos_ = size_;
        return s;
    }

    bool AtEnd() const { return pos_ >= size_; }

  private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};

/* A heap buffer of exactly cch characters (none when cch <= 0) followed by
   guard bytes. The guard is poisoned, so ASan reports any touch of it at
   once; Intact() still compares it for a build without ASan. */
class GuardedBuffer
{
  public:
    enum { kGuard = 16 };

    explicit GuardedBuffer(int cch, char fill = '#')
        : cch_(cch > 0 ? cch : 0), bytes_(new char[cch_ + kGuard])
    {
        memset(bytes_, fill, cch_);
        memset(bytes_ + cch_, kGuardByte, kGuard);
        ASAN_POISON_MEMORY_REGION(bytes_ + cch_, kGuard);
    }
    ~GuardedBuffer()
    {
        ASAN_UNPOISON_MEMORY_REGION(bytes_ + cch_, kGuard);
        delete[] bytes_;
    }
    GuardedBuffer(const GuardedBuffer &) = delete;
    GuardedBuffer &operator=(const GuardedBuffer &) = delete;

    char *data() { return bytes_; }

    bool Intact()
    {
        ASAN_UNPOISON_MEMORY_REGION(bytes_ + cch_, kGuard);
        bool intact = true;
        for (int i = 0; i < kGuard; i++)
            if (bytes_[cch_ + i] != kGuardByte)
                intact = false;
        ASAN_POISON_MEMORY_REGION(bytes_ + cch_, kGuard);
        return intact;
    }

  private:
    static const char kGuardByte = '#';
    int cch_;
    char *bytes_;
};

/* A heap copy of s with its terminator and nothing more, so that reading
   past the terminator is caught. */
template <class Ch> std::unique_ptr<Ch[]> HeapString(const std::basic_string<Ch> &s)
{
    std::unique_ptr<Ch[]> p(new Ch[s.size() + 1]);
    std::copy(s.begin(), s.end(), p.get());
    p[s.size()] = 0;
    return p;
}

/* Same length as strlen but bounded by cch, for a buffer whose terminator
   is in question. */
inline size_t BoundedLength(const char *s, int cch)
{
    size_t n = 0;
    while ((int)n < cch && s[n])
        n++;
    return n;
}
