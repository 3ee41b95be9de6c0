#include "cli/report_format.h"

#include <nlohmann/json.hpp>

namespace tamsel::cli {

Format FormatFromName(std::string_view name) {
  if (name == "verdict") return Format::kVerdict;
  if (name == "json") return Format::kJson;
  return Format::kText;
}

std::string FormatResult(Format format, std::string_view shown_path, const ScanResult& result) {
  switch (format) {
    case Format::kText: {
      std::string line(shown_path);
      line += ": ";
      line += VerdictMessage(result.verdict);
      line += '\n';
      return line;
    }
    case Format::kVerdict:
      // Exactly what the window shows, then a line break to end it.
      return VerdictText(shown_path, result.verdict) + "\r\n";
    case Format::kJson: {
      nlohmann::ordered_json object;
      object["path"] = std::string(shown_path);
      object["verdict"] = std::string(VerdictCode(result.verdict));
      object["message"] = std::string(VerdictMessage(result.verdict));
      return object.dump() + '\n';
    }
  }
  return {};
}

std::string FormatError(Format format, std::string_view shown_path, std::string_view cause) {
  if (format != Format::kJson) return {};
  nlohmann::ordered_json object;
  object["path"] = std::string(shown_path);
  object["error"] = std::string(cause);
  return object.dump() + '\n';
}

}  // namespace tamsel::cli
