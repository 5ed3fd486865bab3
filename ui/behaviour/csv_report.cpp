#include "ui/behaviour/csv_report.h"

#include <type_traits>
#include <variant>

#include "engine/record_fields.h"
#include "ui/behaviour/main_window.h"

namespace tailmend {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool LooksLikeFormula(const std::string& text) {
  return !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@');
}

// A cell in double quotes, its quotes doubled, where it holds a separator, a quote or a line
// break, or blanks a reader might trim.
std::string Cell(const std::string& text) {
  const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos ||
                      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoted) return text;
  std::string cell = "\"";
  for (const char c : text) cell += c == '"' ? std::string("\"\"") : std::string(1, c);
  return cell + '"';
}

std::string TextOf(const RecordValue& value) {
  return std::visit(
      [](const auto& held) -> std::string {
        using Value = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Value, std::monostate>) {
          return "";
        } else if constexpr (std::is_same_v<Value, std::string>) {
          return LooksLikeFormula(held) ? "'" + held : held;
        } else if constexpr (std::is_same_v<Value, bool>) {
          return held ? "true" : "false";
        } else if constexpr (std::is_same_v<Value, std::int64_t>) {
          return std::to_string(held);
        } else {
          std::string joined;
          for (const std::string& text : held) joined += (joined.empty() ? "" : "/") + text;
          return joined;
        }
      },
      value);
}

void AppendLine(std::string& csv, const std::vector<std::string>& cells) {
  for (std::size_t k = 0; k < cells.size(); ++k) csv += (k == 0 ? "" : ",") + Cell(cells[k]);
  csv += kLineEnd;
}

}  // namespace

std::string CsvReport(const std::vector<EventRow>& rows) {
  std::string csv(kByteOrderMark);
  std::vector<std::string> names{"no"};
  for (const RecordField& field : FileRecordFields("", std::nullopt, std::nullopt, RecordShape::Flat)) {
    names.push_back(field.name);
  }
  AppendLine(csv, names);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const EventRow& row = rows[k];
    std::vector<std::string> cells{EventRowNumber(k)};
    for (const RecordField& field : FileRecordFields(row.file, row.result, row.failure, RecordShape::Flat)) {
      cells.push_back(TextOf(field.value));
    }
    AppendLine(csv, cells);
  }
  return csv;
}

}  // namespace tailmend
