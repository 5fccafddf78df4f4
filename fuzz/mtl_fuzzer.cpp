// The MTL reader on arbitrary text, read from a file of the harness's own.
// Refusal must be a CException.
#include <cstdlib>
#include <map>
#include <string>

#include "Obj/Exception.h"
#include "Obj/Material.h"
#include "Obj/MtlParser.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        fuzz_support::silenceOutput();
        return fuzz_support::privateDir() + "/input.mtl";
    }();
    if (!fuzz_support::writeFile(path, data, size)) {
        std::abort();
    }
    std::map<std::string, SMaterial> materials;
    try {
        CMtlParser::parse(materials, path);
    } catch (const CException&) {
        // Refused with a message: the expected way out for bad input.
    }
    return 0;
}
