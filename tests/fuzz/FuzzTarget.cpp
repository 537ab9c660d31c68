// The libFuzzer entry of one fuzzer: FUZZ_CHECK names the property check it runs (fuzz.mk builds
// one fuzzer per check). An input that breaks a property aborts the run, so libFuzzer keeps it.
#include "tests/fuzz/FuzzProperties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string failures = FUZZ_CHECK(data, size);
    if (!failures.empty()) {
        std::fputs(failures.c_str(), stderr);
        std::abort();
    }
    return 0;
}
