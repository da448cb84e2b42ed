#include "ios/pane/pane_labels.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace vorla::pane {
namespace {

using tools::KeyInfo;
using tools::KeyKind;
using tools::KeySource;

constexpr std::size_t kNowhere = std::string_view::npos;

// How an enable key's meaning gives what it colours its colour key.
constexpr std::string_view kColourPhrases[] = {" in colours ", " in colour ", " given as colour "};

bool isWordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Where `word` stands in `text` as a whole word: key names such as "call" or "model" are also
// parts of other words and keys ("call2", "hedncall").
std::size_t findWord(std::string_view text, std::string_view word, std::size_t from = 0) {
  for (std::size_t at = text.find(word, from); at != kNowhere; at = text.find(word, at + 1)) {
    bool startsWord = at == 0 || !isWordCharacter(text[at - 1]);
    std::size_t end = at + word.size();
    bool endsWord = end == text.size() || !isWordCharacter(text[end]);
    if (startsWord && endsWord) return at;
  }
  return kNowhere;
}

// A key's name may also be an ordinary word of a meaning that names it ("About page model
// chosen by the code model"); the meanings name a key after saying what it is for, so its last
// mention is the one that names it.
std::size_t findLastWord(std::string_view text, std::string_view word) {
  std::size_t last = kNowhere;
  for (std::size_t at = findWord(text, word); at != kNowhere; at = findWord(text, word, at + 1)) {
    last = at;
  }
  return last;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at; (at = text.find(separator)) != kNowhere;) {
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + separator.size());
  }
  parts.push_back(text);
  return parts;
}

// Up to "; " or ": ", or up to a ", " that ends a clause rather than opening a list ("status-bar
// text, battery fill, foreground and Wi-Fi" stays whole).
std::string_view firstClause(std::string_view text) {
  text = text.substr(0, std::min(text.find("; "), text.find(": ")));
  std::size_t comma = text.find(", ");
  if (comma != kNowhere && text.find(" and ", comma) == kNowhere) text = text.substr(0, comma);
  return text;
}

// Settings titles name a thing, not "the thing": "Dock without background".
std::string_view withoutArticle(std::string_view text) {
  for (std::string_view article : {"the ", "a "}) {
    if (text.starts_with(article) && text.size() > article.size()) {
      return text.substr(article.size());
    }
  }
  return text;
}

std::string capitalised(std::string_view text) {
  std::string out(text);
  // "iPad ..." keeps its small letter.
  bool brandName = out.size() > 1 && out[1] >= 'A' && out[1] <= 'Z';
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z' && !brandName) out[0] -= 'a' - 'A';
  return out;
}

struct Mention {
  std::size_t at;
  const KeyInfo* key;
};

// The values of `key`'s app that `text` names, in the order it names them. Enable keys are
// switches of their own and never a value another key applies.
std::vector<Mention> valuesIn(std::string_view text, const KeyInfo& key,
                              const std::vector<KeyInfo>& catalogue) {
  std::vector<Mention> found;
  for (const KeyInfo& other : catalogue) {
    if (other.key == key.key || other.source == KeySource::kEnableKey || other.app != key.app) {
      continue;
    }
    if (std::size_t at = findLastWord(text, other.key); at != kNowhere) {
      found.push_back({at, &other});
    }
  }
  std::sort(found.begin(), found.end(),
            [](const Mention& a, const Mention& b) { return a.at < b.at; });
  return found;
}

// The catalogue's settings-file keys that `text` names, in the order it names them.
std::vector<std::pair<std::size_t, const KeyInfo*>> fileKeysNamed(
    std::string_view text, const std::vector<KeyInfo>& catalogue) {
  std::vector<std::pair<std::size_t, const KeyInfo*>> named;
  for (const KeyInfo& info : catalogue) {
    if (info.source != KeySource::kSettingsFile) continue;
    if (std::size_t at = findWord(text, info.key); at != kNowhere) named.emplace_back(at, &info);
  }
  std::sort(named.begin(), named.end());
  return named;
}

// Where a mention ends, with the note that may follow it ("YourCustomColour1m (off)").
std::size_t endOfMention(std::string_view clause, const Mention& mention) {
  std::size_t end = mention.at + mention.key->key.size();
  if (clause.substr(end).starts_with(" (")) {
    if (std::size_t close = clause.find(')', end); close != kNowhere) return close + 1;
  }
  return end;
}

std::string kindNoun(const std::vector<const KeyInfo*>& values) {
  KeyKind kind = values.front()->kind;
  std::string noun = kind == KeyKind::kColour ? "colour"
                     : kind == KeyKind::kText ? "text"
                                              : "value";
  return values.size() > 1 ? noun + "s" : noun;
}

// `before` (the title up to the values it names) followed by what stands for them: "set to K"
// gives "set to the value below", "titled K" "titled with the text below", "in colour K" "in the
// colour below", "by the code K" "by the code below", and a name after any other noun, as in "the
// viewer count K", "the viewer count set below".
std::string saidBelow(std::string_view before, const std::vector<const KeyInfo*>& values) {
  before = trimmed(before);
  std::size_t lastSpace = before.rfind(' ');
  std::string_view head = lastSpace == kNowhere ? "" : before.substr(0, lastSpace);
  std::string_view last = before.substr(lastSpace == kNowhere ? 0 : lastSpace + 1);
  std::size_t previousSpace = head.rfind(' ');
  std::string_view previous = head.substr(previousSpace == kNowhere ? 0 : previousSpace + 1);
  std::string text(before);
  if (last == "to" || last == "by") return text + " the " + kindNoun(values) + " below";
  if (last == "titled") return text + " with the " + kindNoun(values) + " below";
  if (previous == "in" || previous == "as" || previous == "of") {
    return std::string(head) + " the " + std::string(last) + " below";
  }
  if (previous == "the") return text + " below";
  return text + " set below";
}

// `clause` with each run of the values it names ("K1 (off) and K2 (on)") said to be below.
std::string withValuesBelow(std::string_view clause, const KeyInfo& key,
                            const std::vector<KeyInfo>& catalogue) {
  std::vector<Mention> mentions = valuesIn(clause, key, catalogue);
  std::string title;
  std::size_t from = 0;
  for (std::size_t i = 0; i < mentions.size(); ++i) {
    std::size_t start = mentions[i].at;
    std::vector<const KeyInfo*> run{mentions[i].key};
    std::size_t end = endOfMention(clause, mentions[i]);
    while (i + 1 < mentions.size() && mentions[i + 1].at >= end &&
           clause.substr(end, mentions[i + 1].at - end) == " and ") {
      ++i;
      run.push_back(mentions[i].key);
      end = endOfMention(clause, mentions[i]);
    }
    title = saidBelow(title + std::string(clause.substr(from, start - from)), run);
    from = end;
  }
  return title + std::string(clause.substr(from));
}

// What one clause of an enable key's meaning says `key` is for. "A and B in colours K1 and K2"
// gives K1 to A and K2 to B; "switches in colours K1 (off) and K2 (on)" keeps each one's note;
// "legibility colours given as colour K" names a colour already. Without a colour phrase, the
// words before the key say it ("the viewer count watchr").
std::string purposeIn(std::string_view clause, std::size_t mention, const KeyInfo& key,
                      const std::vector<KeyInfo>& catalogue) {
  for (std::string_view phrase : kColourPhrases) {
    std::size_t at = clause.find(phrase);
    if (at == kNowhere || at > mention) continue;
    std::string_view subject = clause.substr(0, at);
    auto subjects = split(subject, " and ");
    auto named = fileKeysNamed(clause.substr(at), catalogue);
    if (subjects.size() == named.size() && subjects.size() > 1) {
      for (std::size_t i = 0; i < named.size(); ++i) {
        if (named[i].second == &key) subject = subjects[i];
      }
    }
    subject = trimmed(subject);
    if (subject.ends_with(" colour") || subject.ends_with(" colours")) return std::string(subject);
    std::string purpose = "colour of " + std::string(subject);
    std::string_view after = clause.substr(mention + key.key.size());
    if (after.starts_with(" (") && after.find(')') != kNowhere) {
      purpose += after.substr(0, after.find(')') + 1);
    }
    return purpose;
  }
  return std::string(trimmed(clause.substr(0, mention)));
}

// From each clause of the app's enable keys that names `key`: "colour of table backgrounds and
// table cell backgrounds" when two clauses name it. Empty when none does.
std::string fileKeyPurpose(const KeyInfo& key, const std::vector<KeyInfo>& catalogue) {
  std::vector<std::string> purposes;
  for (const KeyInfo& enable : catalogue) {
    if (enable.source != KeySource::kEnableKey || enable.app != key.app) continue;
    for (std::string_view clause : split(enable.meaning, "; ")) {
      std::size_t mention = findWord(clause, key.key);
      if (mention == kNowhere) continue;
      std::string purpose = purposeIn(clause, mention, key, catalogue);
      if (!purpose.empty()) purposes.push_back(std::move(purpose));
    }
  }
  if (purposes.empty()) return "";
  constexpr std::string_view kColourOf = "colour of ";
  bool allColours = std::all_of(purposes.begin(), purposes.end(),
                                [&](const std::string& p) { return p.starts_with(kColourOf); });
  std::string joined = allColours ? std::string(kColourOf) : "";
  for (std::size_t i = 0; i < purposes.size(); ++i) {
    joined += (i == 0 ? "" : " and ") + purposes[i].substr(allColours ? kColourOf.size() : 0);
  }
  return joined;
}

}  // namespace

std::vector<const KeyInfo*> valuesNamedBy(const KeyInfo& key,
                                          const std::vector<KeyInfo>& catalogue) {
  std::vector<const KeyInfo*> values;
  for (const Mention& mention : valuesIn(key.meaning, key, catalogue)) {
    values.push_back(mention.key);
  }
  return values;
}

std::string rowTitle(const KeyInfo& key, const std::vector<KeyInfo>& catalogue) {
  if (key.source == KeySource::kSettingsFile) {
    if (std::string purpose = fileKeyPurpose(key, catalogue); !purpose.empty()) {
      return capitalised(withoutArticle(purpose));
    }
  }
  std::string clause = withValuesBelow(trimmed(firstClause(key.meaning)), key, catalogue);
  return capitalised(withoutArticle(clause));
}

}  // namespace vorla::pane
