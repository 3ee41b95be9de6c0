#include "cli/report_format.h"

#include <nlohmann/json.hpp>

namespace tamsel::cli {

Format FormatFromName(std::string_view name) {
  if (name == "verdict") return Format::kVerdict;
  if (name == "json") return Format::kJson;
  if (name == "csv") return Format::kCsv;
  return Format::kText;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string field = "\"";
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

std::string FormatHeader(Format format) {
  return format == Format::kCsv ? "path,verdict,message,error\r\n" : "";
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
    case Format::kCsv:
      return CsvField(shown_path) + "," + std::string(VerdictCode(result.verdict)) + "," +
             CsvField(VerdictMessage(result.verdict)) + ",\r\n";
  }
  return {};
}

std::string FormatError(Format format, std::string_view shown_path, std::string_view cause) {
  if (format == Format::kCsv) return CsvField(shown_path) + ",,," + CsvField(cause) + "\r\n";
  if (format != Format::kJson) return {};
  nlohmann::ordered_json object;
  object["path"] = std::string(shown_path);
  object["error"] = std::string(cause);
  return object.dump() + '\n';
}

}  // namespace tamsel::cli

namespace tamsel::cli {
namespace {
// The verdicts in the order of the tests that give them.
constexpr Verdict kSummaryOrder[] = {Verdict::kExcel5, Verdict::kExcel5Likely, Verdict::kExcel95Likely,
                                     Verdict::kExcel97Likely, Verdict::kNotExcel};
}  // namespace

std::string FormatSummary(Format format, const Summary& summary) {
  std::uint64_t files = summary.errors;
  for (std::uint64_t n : summary.verdicts) files += n;
  if (format == Format::kJson) {
    nlohmann::ordered_json verdicts;
    for (Verdict v : kSummaryOrder) verdicts[std::string(VerdictCode(v))] = summary.verdicts[static_cast<int>(v)];
    nlohmann::ordered_json object;
    object["summary"] = {{"files", files},     {"verdicts", verdicts},         {"errors", summary.errors},
                         {"skipped", summary.skipped}, {"bytes", summary.bytes}, {"seconds", summary.seconds}};
    return object.dump() + '\n';
  }
  std::string table;
  char line[160];
  for (Verdict v : kSummaryOrder) {
    std::snprintf(line, sizeof line, "%-15s %10llu  ", std::string(VerdictCode(v)).c_str(),
                  static_cast<unsigned long long>(summary.verdicts[static_cast<int>(v)]));
    table += line;
    table += VerdictMessage(v);
    table += '\n';
  }
  std::snprintf(line, sizeof line, "%-15s %10llu  could not be read\n", "errors",
                static_cast<unsigned long long>(summary.errors));
  table += line;
  std::snprintf(line, sizeof line, "%-15s %10llu  not regular files, not read\n", "skipped",
                static_cast<unsigned long long>(summary.skipped));
  table += line;
  std::snprintf(line, sizeof line, "%-15s %10llu  files, %llu bytes in %.2f s\n", "total",
                static_cast<unsigned long long>(files), static_cast<unsigned long long>(summary.bytes),
                summary.seconds);
  table += line;
  return table;
}

}  // namespace tamsel::cli
