// gen_trucks OUT N [--seed S]: writes N realistic truck lines (78 characters,
// LF endings) to the file OUT, the same lines for the same seed.

#include "BenchLines.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: gen_trucks OUT N [--seed S]\n");
    return 2;
}

bool ParseCount(const char* text, std::uint64_t& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && text[0] != '-';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        return Usage();
    }
    std::uint64_t count = 0;
    std::uint64_t seed = 1;
    if (!ParseCount(argv[2], count)) {
        return Usage();
    }
    if (argc == 5 && (std::strcmp(argv[3], "--seed") != 0 || !ParseCount(argv[4], seed))) {
        return Usage();
    }

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    axlewise::bench::TruckLineGenerator generator(seed);
    std::string line;
    for (std::uint64_t i = 0; i < count; ++i) {
        generator.next(line);
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), out);
    }
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
