#include "tools/args.h"

#include "tools/command.h"

#include <charconv>
#include <cstdio>

namespace orchard {

std::optional<std::string> ParsedArgs::Value(std::string_view option) const {
  auto it = values.find(option);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<std::pair<int, int>> ParseSize(std::string_view text) {
  const auto x = text.find('x');
  if (x == std::string_view::npos) return std::nullopt;
  const auto width = ParseInteger(text.substr(0, x));
  const auto height = ParseInteger(text.substr(x + 1));
  if (!width || !height || *width < 1 || *height < 1 || *width > 16384 || *height > 16384)
    return std::nullopt;
  return std::pair<int, int>{static_cast<int>(*width), static_cast<int>(*height)};
}

ParsedArgs ParseArgs(std::span<const std::string_view> args,
                     std::initializer_list<std::string_view> valueOptions,
                     std::initializer_list<std::string_view> flagOptions) {
  ParsedArgs parsed;
  auto contains = [](std::initializer_list<std::string_view> list, std::string_view name) {
    for (auto entry : list)
      if (entry == name) return true;
    return false;
  };
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool looksLikeOption = arg.size() > 1 && arg[0] == '-' && !ParseInteger(arg);
    if (optionsEnded || !looksLikeOption) {
      parsed.positional.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
      continue;
    }
    if (arg.substr(0, 2) != "--") {
      parsed.error = "unknown option " + std::string(arg);
      return parsed;
    }
    std::string_view name = arg.substr(2);
    std::optional<std::string_view> inlineValue;
    if (const auto equals = name.find('='); equals != std::string_view::npos) {
      inlineValue = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    if (contains(flagOptions, name) && !inlineValue) {
      parsed.flags.emplace(name);
    } else if (contains(valueOptions, name)) {
      if (inlineValue) {
        parsed.values[std::string(name)] = std::string(*inlineValue);
      } else if (i + 1 < args.size()) {
        parsed.values[std::string(name)] = std::string(args[++i]);
      } else {
        parsed.error = "option --" + std::string(name) + " needs a value";
        return parsed;
      }
    } else {
      parsed.error = "unknown option --" + std::string(name);
      return parsed;
    }
  }
  return parsed;
}

int UsageError(std::string_view command, std::string_view message) {
  std::fprintf(stderr, "orchard %.*s: %.*s (see orchard %.*s --help)\n",
               static_cast<int>(command.size()), command.data(),
               static_cast<int>(message.size()), message.data(),
               static_cast<int>(command.size()), command.data());
  return kExitUsage;
}

}  // namespace orchard
