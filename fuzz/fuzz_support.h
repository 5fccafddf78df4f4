#pragma once

// Helpers shared by the fuzzing harnesses. Each harness defines
// LLVMFuzzerTestOneInput over one reader; libFuzzer drives it in the fuzzing
// build, replay_main.cpp runs it over the stored corpus in the test suite.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz_support {

// Sends everything the readers print (standard output, std::cerr and the
// mesh library's log, which shares std::cerr's buffer) nowhere, so that
// fuzzing spends its time reading. Sanitizer reports still reach stderr.
// Call before the first log line.
void silenceOutput();

// A directory of this process's own under the system's temporary folder,
// removed with its files at exit.
const std::string& privateDir();

// Replaces the file's content with the bytes; false when that fails.
bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

}  // namespace fuzz_support

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
