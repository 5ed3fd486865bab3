#include "cli/file_record.h"

#include <type_traits>

#include "cli/json_text.h"

namespace tailmend {

namespace {

std::string JsonArray(const std::vector<std::string>& texts) {
  std::string array = "[";
  for (const std::string& text : texts) {
    if (array.size() > 1) array += ',';
    array += JsonString(text);
  }
  return array + ']';
}

JsonObject JsonOf(const std::vector<RecordField>& fields) {
  JsonObject object;
  for (const RecordField& field : fields) {
    if (field.object) {
      object.Add(field.name, JsonOf(field.members));
      continue;
    }
    std::visit(
        [&object, &field](const auto& value) {
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, std::monostate>) {
            object.AddNull(field.name);
          } else if constexpr (std::is_same_v<Value, std::vector<std::string>>) {
            object.AddJson(field.name, JsonArray(value));
          } else {
            object.Add(field.name, value);
          }
        },
        field.value);
  }
  return object;
}

}  // namespace

std::string FileRecordJson(const std::string& file, const std::optional<FileResult>& row,
                           const std::optional<FileFailure>& failure) {
  return JsonOf(FileRecordFields(file, row, failure, RecordShape::Nested)).Text();
}

}  // namespace tailmend
