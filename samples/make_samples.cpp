// Writes the sample files into a folder: make-samples DIR
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "samples/sample_set.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-samples DIR\n");
    return 2;
  }
  const std::filesystem::path dir(argv[1]);
  std::filesystem::create_directories(dir);
  for (const auto& sample : tamsel::samples::SampleSet()) {
    const auto path = dir / sample.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(sample.bytes.data()),
              static_cast<std::streamsize>(sample.bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "make-samples: %s: cannot write\n", path.c_str());
      return 1;
    }
    std::printf("%s\t%s\n", sample.name.c_str(), sample.what.c_str());
  }
  return 0;
}
