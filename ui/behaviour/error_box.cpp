#include "ui/behaviour/error_box.h"

#include <exception>

namespace tailmend {

namespace {

constexpr unsigned char kFullStop = '.';

}  // namespace

std::string ErrorBoxText(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > kFullStop) message += '.';
  return message;
}

void RunGuarded(const std::function<void()>& handler, const ErrorBoxShower& show) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    show(ErrorBoxText(error.what()));
  } catch (...) {
    show(ErrorBoxText(kUnknownErrorText));
  }
}

}  // namespace tailmend
