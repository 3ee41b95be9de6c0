// The sample files in samples/, as the generator writes them.
#pragma once

#include <string>
#include <vector>

#include "samples/workbook_writer.h"

namespace tamsel::samples {

struct SampleFile {
  std::string name;
  Bytes bytes;
  std::string verdict_code;  // what tamsel-scan --format=json says of it
  std::string what;          // one line for the README
};

std::vector<SampleFile> SampleSet();

}  // namespace tamsel::samples
