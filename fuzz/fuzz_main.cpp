// The start-up every fuzz target shares, so that a target defines only LLVMFuzzerTestOneInput.

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    grainlink::fuzz::InitQt(argc, argv);
    return 0;
}
