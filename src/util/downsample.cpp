// Thinning of arrays: every step-th value, and the last.
#include <gridpick/util.h>

namespace {

template <typename T>
int downsample(T *array, int count, int step)
{
    if (step <= 1 || count <= 0)
        return count;
    int n = 0;
    for (int i = 0; i < count; i += step)
        array[n++] = array[i];
    T last = array[count - 1];
    if (array[n - 1] != last)
        array[n++] = last;
    return n;
}

}  // namespace

extern "C" {

int downsample_float_array(float *array, int count, int step)
{
    return downsample(array, count, step);
}

int downsample_byte_array(unsigned char *array, int count, int step)
{
    return downsample(array, count, step);
}

}  // extern "C"
