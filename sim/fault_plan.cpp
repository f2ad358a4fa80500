#include "sim/fault_plan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace kt9::sim {
namespace {

constexpr std::array<std::pair<const char*, FaultKind>, 9> kKinds{{
    {"no-answer", FaultKind::kNoAnswer},
    {"split", FaultKind::kSplit},
    {"wrong-address", FaultKind::kWrongAddress},
    {"bad-checksum", FaultKind::kBadChecksum},
    {"wrong-end", FaultKind::kWrongEnd},
    {"other-command-first", FaultKind::kOtherCommandFirst},
    {"trailing-bytes", FaultKind::kTrailingBytes},
    {"busy-forever", FaultKind::kBusyForever},
    {"hang-up", FaultKind::kHangUp},
}};

template <typename T>
std::optional<T> Number(const std::string& text, int base) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || error != std::errc{} || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::string FaultKindNames() {
  std::string names;
  for (const auto& [name, kind] : kKinds) names += (names.empty() ? "" : ", ") + std::string(name);
  return names;
}

std::optional<FaultRule> ParseFault(const std::string& text, const std::vector<std::string>& requests) {
  FaultRule rule;
  std::string head = text;
  if (const auto at = text.find('@'); at != std::string::npos) {
    head = text.substr(0, at);
    const std::string where = text.substr(at + 1);
    if (where.rfind("0x", 0) == 0 || where.rfind("0X", 0) == 0) {
      rule.address = Number<uint32_t>(where.substr(2), 16);
      if (!rule.address) return std::nullopt;
    } else {
      rule.ordinal = Number<uint32_t>(where, 10);
      if (!rule.ordinal || *rule.ordinal == 0) return std::nullopt;
    }
  }
  std::string kindName = head;
  if (const auto colon = head.find(':'); colon != std::string::npos) {
    kindName = head.substr(0, colon);
    rule.request = head.substr(colon + 1);
  }
  if (rule.request != "any" && std::find(requests.begin(), requests.end(), rule.request) == requests.end()) {
    return std::nullopt;
  }
  const auto kind = std::find_if(kKinds.begin(), kKinds.end(), [&](const auto& k) { return kindName == k.first; });
  if (kind == kKinds.end()) return std::nullopt;
  rule.kind = kind->second;
  return rule;
}

std::optional<FaultKind> FaultPlan::Take(const std::string& request, uint32_t address) {
  const uint32_t nth = ++counts_[request];
  const uint32_t nthAny = ++counts_["any"];
  for (const FaultRule& rule : rules_) {
    if (rule.request != "any" && rule.request != request) continue;
    const uint32_t count = rule.request == "any" ? nthAny : nth;
    if (rule.ordinal && *rule.ordinal != count) continue;
    if (rule.address && *rule.address != address) continue;
    return rule.kind;
  }
  return std::nullopt;
}

}  // namespace kt9::sim
