#pragma once

#include <cstdio>
#include <cstdlib>

// A property of a fuzz target that must hold for every input. A violation
// aborts, which libFuzzer records as a finding and the corpus replay as a
// failed test; the message names the property and the source line.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, #cond);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
