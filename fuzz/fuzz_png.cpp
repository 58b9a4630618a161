// libFuzzer target: the PNG decoder on arbitrary bytes. Accepted images must have every output
// byte readable; nothing may crash, hang or touch memory outside the decoder's buffers.
#include "engine/png.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PngImage img = png_load_memory(data, size);
    if (img) {
        const size_t n = static_cast<size_t>(img.width) * img.height * 4;
        volatile uint8_t sink = 0;
        for (size_t i = 0; i < n; i += 61) sink = sink ^ img.pixels[i];
        if (n > 0) sink = sink ^ img.pixels[n - 1];
        (void)sink;
    }
    return 0;
}
