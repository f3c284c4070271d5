#include "settings/value_buffer.h"

#include <cstdlib>

ValueBuffer::ValueBuffer(DWORD size)
{
    // The extra byte must not wrap the request to nothing on a 32-bit build.
    size_t bytes = static_cast<size_t>(size) + 1;
    if (bytes == 0)
        return;
    data_ = static_cast<char*>(calloc(bytes, 1));
    if (data_)
        size_ = size;
}

ValueBuffer::~ValueBuffer()
{
    free(data_);
}
