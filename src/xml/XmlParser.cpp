#include <algorithm>

#include "xml/Xml.h"
#include "xml/XmlCharset.h"

namespace vt {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsTrimmed(char C) {
  return static_cast<unsigned char>(C) <= 32;
}

std::string_view TrimView(std::string_view S) {
  size_t B = 0;
  size_t E = S.size();
  while (B < E && IsTrimmed(S[B])) ++B;
  while (E > B && IsTrimmed(S[E - 1])) --E;
  return S.substr(B, E - B);
}

}  // namespace

// ---------------------------------------------------------------------------
// TXmlParser.

TXmlParser::TXmlParser(const TStringList* AList) : FList(AList) {
  XmlUtf8 = !XmlHeader.empty();
  FUtf8 = XmlUtf8;
  std::string Header = XmlHeader.empty() ? std::string() : NextTag();
  if (Header == XmlPlainHeader) {
    Header = XmlHeader;
    XmlUtf8 = false;
    FUtf8 = false;
  }
  if (!FList || Header != XmlHeader || FEOL) Error(SXmlMissingHeader);
}

TXmlParser::~TXmlParser() = default;

void TXmlParser::ClearTag() {
  FTagName.clear();
  FEmptyTag = false;
  FEndTag = false;
  FTagAttributes.Clear();
}

std::string TXmlParser::Charset(std::string_view S) const {
  return FUtf8 ? Utf8Sanitize(S) : Cp1250ToUtf8(S);
}

std::string_view TXmlParser::Pending() const {
  return std::string_view(FStr).substr(FStart);
}

bool TXmlParser::ReadLine() {
  if (!FList || FLine >= FList->Count()) return false;
  std::string_view Line = FList->Strings(FLine);
  if (FLine == 0 && Line.starts_with(kByteOrderMark)) Line.remove_prefix(kByteOrderMark.size());
  Line = TrimView(Line);
  ++FLine;
  if (FStart == FStr.size()) {
    FStr.assign(Line);
    FStart = 0;
    return true;
  }
  // Dropping the consumed front only once it outweighs the rest keeps the
  // copying proportional to the text read.
  if (FStart > FStr.size() / 2) {
    FStr.erase(0, FStart);
    FStart = 0;
  }
  FStr += ' ';
  FStr.append(Line);
  return true;
}

// The part already searched is remembered relative to FStart, which ReadLine
// may move, so that every byte is searched once.
size_t TXmlParser::FindReading(char C) {
  size_t Searched = 0;
  for (;;) {
    const size_t P = FStr.find(C, FStart + Searched);
    if (P != std::string::npos) return P;
    Searched = FStr.size() - FStart;
    if (!ReadLine()) return std::string::npos;
  }
}

std::string TXmlParser::NextTag() {
  ClearTag();
  const size_t Open = FindReading('<');
  if (Open == std::string::npos) {
    FEOL = true;
    return std::string();
  }
  const std::string_view Before = std::string_view(FStr).substr(FStart, Open - FStart);
  if (!TrimView(Before).empty()) Error(SXmlTagExpected, Charset(Before));
  FStart = Open;
  const size_t Close = FindReading('>');
  if (Close == std::string::npos) Error(SXmlUnterminatedTag, Charset(Pending()));
  std::string Tag = FStr.substr(FStart, Close + 1 - FStart);
  FStart = Close + 1;
  return Tag;
}

std::string TXmlParser::NextText() {
  size_t Open = FStr.find('<', FStart);
  if (Open != std::string::npos) {
    std::string Text = FStr.substr(FStart, Open - FStart);
    FStart = Open;
    return Text;
  }
  if (Pending().empty() && !ReadLine()) {
    FEOL = true;
    return std::string();
  }
  Open = FindReading('<');
  if (Open == std::string::npos) return std::string(TrimView(Pending()));
  std::string Text(TrimView(std::string_view(FStr).substr(FStart, Open - FStart)));
  FStart = Open;
  return Text;
}

void TXmlParser::ParseTag(std::string_view Tag) {
  ClearTag();
  if (FEOL || Tag.empty() || !Tag.starts_with('<') || !Tag.ends_with('>') || Tag.size() < 2) return;
  Tag = Tag.substr(1, Tag.size() - 2);
  if (Tag.starts_with('/')) {
    FEndTag = true;
    Tag.remove_prefix(1);
  } else if (Tag.ends_with('/')) {
    FEmptyTag = true;
    Tag.remove_suffix(1);
  }
  const size_t Blank = Tag.find(' ');
  if (Blank == std::string_view::npos) {
    FTagName.assign(Tag);
    return;
  }
  FTagName.assign(Tag.substr(0, Blank));
  std::string_view Rest = TrimView(Tag.substr(Blank + 1));
  while (!Rest.empty()) FTagAttributes.Add(NextAttribute(Rest));
}

std::string TXmlParser::NextAttribute(std::string_view& Rest) {
  if (Rest.find('=') == std::string_view::npos) {
    std::string Result = std::string(Rest) + "=";
    Rest = std::string_view();
    return Result;
  }
  bool EqualsSeen = false;
  bool InQuotes = false;
  size_t Len = Rest.size();
  for (size_t I = 0; I < Rest.size(); ++I) {
    const char C = Rest[I];
    if (C == '=') {
      EqualsSeen = true;
    } else if (C == '"' && EqualsSeen) {
      InQuotes = !InQuotes;
    } else if (C == ' ' && EqualsSeen && !InQuotes) {
      Len = I;
      break;
    }
  }
  std::string Result;
  Result.reserve(Len);
  for (char C : Rest.substr(0, Len))
    if (C != '"') Result += C;
  Rest = TrimView(Rest.substr(Len));
  return Result;
}

// ---------------------------------------------------------------------------
// Reading elements.

void TXmlItem::FillFromTag(const TXmlParser& AParser) {
  FName = AParser.Charset(AParser.FTagName);
  const TStringList& Attributes = AParser.FTagAttributes;
  for (int I = 0; I < Attributes.Count(); ++I) {
    const std::string_view Entry = Attributes.Strings(I);
    const size_t Eq = std::min(Entry.find('='), Entry.size());
    const std::string_view Value = Eq < Entry.size() ? Entry.substr(Eq + 1) : std::string_view();
    AddAttribute(AParser.Charset(Entry.substr(0, Eq)), XmlDecode(Value, AParser.FUtf8));
  }
}

// The elements still open are kept on an explicit stack, so that the depth of
// a document is limited by XmlMaxDepth and not by the call stack. Every child
// is attached to its parent before it is read, so an element that fails keeps
// what was read before the error.
void TXmlItem::ReadFromParser(TXmlParser& AParser) {
  FillFromTag(AParser);
  if (AParser.FEmptyTag) return;
  std::vector<TXmlItem*> Open{this};
  while (!Open.empty()) {
    TXmlItem* Current = Open.back();
    const std::string Text = AParser.NextText();
    const std::string Tag = AParser.NextTag();
    AParser.ParseTag(Tag);
    if (AParser.FEOL) AParser.Error(SXmlMissingTag, Current->FName);
    if (AParser.FEndTag) {
      const std::string EndName = AParser.Charset(AParser.FTagName);
      if (EndName != Current->FName) AParser.Error(SXmlTerminatingTagExpected, Current->FName, EndName);
      Current->FText = XmlDecode(Text, AParser.FUtf8);
      Open.pop_back();
      continue;
    }
    if (!Text.empty()) Current->AddTextItem(std::string(), XmlDecode(Text, AParser.FUtf8));
    if (Open.size() >= static_cast<size_t>(XmlMaxDepth)) AParser.Error(SXmlTooDeep, XmlMaxDepth);
    TXmlItem* Child = Current->NewItem(std::string());
    Child->FillFromTag(AParser);
    if (!AParser.FEmptyTag) Open.push_back(Child);
  }
}

void TXmlItem::LoadFromStringList(const TStringList& AList) {
  TXmlParser Parser(&AList);
  const std::string Tag = Parser.NextTag();
  Parser.ParseTag(Tag);
  if (Parser.FEOL) return;
  if (Parser.FEndTag) Parser.Error(SXmlOpeningTagExpected, Parser.Charset(Parser.FTagName));
  ReadFromParser(Parser);
}

}  // namespace vt
