// The BMP loader on arbitrary bytes. The loader opens a file by name, so the
// input goes to a file of the harness's own. Refusal must be a 0 return;
// a success must deliver exactly sizeX * sizeY * 3 readable bytes.
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "tex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        fuzz_support::silenceOutput();
        return fuzz_support::privateDir() + "/input.bmp";
    }();
    if (!fuzz_support::writeFile(path, data, size)) {
        std::abort();
    }
    Image image;
    if (ImageLoad(path.c_str(), &image) == 1) {
        const std::size_t bytes = static_cast<std::size_t>(image.sizeX) * image.sizeY * 3;
        // Touch the first and the last byte: AddressSanitizer checks the size.
        volatile unsigned char sum =
            static_cast<unsigned char>(image.data[0] + image.data[bytes - 1]);
        static_cast<void>(sum);
        std::free(image.data);
    }
    return 0;
}
