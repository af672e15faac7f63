#include "xml/Xml.h"

#include <algorithm>

#include "foundation/XUtils.h"
#include "xml/XmlCharset.h"

namespace vt {

std::string XmlHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
int XmlIndent = 2;
std::size_t XmlMaxFileSize = std::size_t(1) << 30;
bool XmlUtf8 = true;

// ---------------------------------------------------------------------------
// Entity coding.

namespace {

struct TEntity {
  char Char;
  std::string_view Entity;
};

// The entity table, row by row.
constexpr TEntity kEntities[9] = {
    {'&', "&amp;"}, {'<', "&lt;"},  {'>', "&gt;"},   {'\'', "&apos;"}, {'"', "&quot;"},
    {'\r', "&cr;"}, {'\n', "&lf;"}, {' ', "&nbsp;"}, {'\t', "&tab;"},
};

const std::string_view* EntityOf(char C, std::string_view Keep) {
  for (const TEntity& E : kEntities)
    if (E.Char == C) return Keep.find(C) == std::string_view::npos ? &E.Entity : nullptr;
  return nullptr;
}

bool IsBlank(char C) {
  return C == ' ' || C == '\t';
}

}  // namespace

// The entities that rows 2 to 9 insert hold none of the characters of those
// rows, so one pass gives the same result as nine successive replacements.
std::string XmlEncode(std::string_view S, std::string_view Keep) {
  std::string Out;
  Out.reserve(S.size());
  for (char C : S) {
    if (const std::string_view* E = EntityOf(C, Keep))
      Out += *E;
    else
      Out += C;
  }
  return Out;
}

// Entities start with their only "&" and end with ";", so occurrences of
// different entities never overlap, and no replaced character can form a new
// one. Replacing every row in one pass from left to right thus gives the same
// as one pass per row from the last row to the first ("&amp;lt;" gives
// "&lt;").
std::string XmlDecode(std::string_view S, bool AUtf8) {
  std::string Out;
  Out.reserve(S.size());
  size_t From = 0;
  for (size_t Amp = S.find('&'); Amp != std::string_view::npos; Amp = S.find('&', Amp + 1)) {
    for (const TEntity& E : kEntities) {
      if (S.compare(Amp, E.Entity.size(), E.Entity) != 0) continue;
      Out.append(S.substr(From, Amp - From));
      Out += E.Char;
      From = Amp + E.Entity.size();
      Amp = From - 1;
      break;
    }
  }
  Out.append(S.substr(From));
  if (IsAscii(Out)) return Out;
  return AUtf8 ? Utf8Sanitize(Out) : Cp1250ToUtf8(Out);
}

std::string XmlDecode(std::string_view S) {
  return XmlDecode(S, XmlUtf8);
}

// ---------------------------------------------------------------------------
// TXmlItemList.

TXmlItem* TXmlItemList::ItemByName(std::string_view AName) const {
  for (int I = 0; I < Count(); ++I) {
    TXmlItem* Item = Objects(I);
    if (Item && Item->Name() == AName) return Item;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// TXmlItem: construction and destruction.

TXmlItem::TXmlItem(std::string AName, std::string AText) : FName(std::move(AName)), FText(std::move(AText)) {}

// Destroying the lists directly would recurse once per level of the tree; the
// subtree is taken apart with an explicit stack instead, so that every element
// is destroyed with empty lists.
TXmlItem::~TXmlItem() {
  std::vector<TObject*> Pending;
  DetachChildren(Pending);
  while (!Pending.empty()) {
    TObject* Obj = Pending.back();
    Pending.pop_back();
    if (auto* Item = dynamic_cast<TXmlItem*>(Obj)) Item->DetachChildren(Pending);
    delete Obj;
  }
}

void TXmlItem::DetachChildren(std::vector<TObject*>& Pending) {
  for (TXmlItemList* List : {FAttributes.get(), FItems.get()}) {
    if (!List || !List->OwnObjects()) continue;
    for (int I = 0; I < List->Count(); ++I)
      if (TObject* Obj = List->Pull(I)) Pending.push_back(Obj);
  }
}

TXmlItemList& TXmlItem::AttributeList() {
  if (!FAttributes) FAttributes = std::make_unique<TXmlItemList>();
  return *FAttributes;
}

TXmlItemList& TXmlItem::ItemList() {
  if (!FItems) FItems = std::make_unique<TXmlItemList>();
  return *FItems;
}

// ---------------------------------------------------------------------------
// Properties.

int TXmlItem::AttributeCount() const {
  return FAttributes ? FAttributes->Count() : 0;
}

int TXmlItem::ItemCount() const {
  return FItems ? FItems->Count() : 0;
}

std::string TXmlItem::AsXmlString() const {
  return XmlEncode(FText, " \t");
}

void TXmlItem::SetAsXmlString(const std::string& Value) {
  FText = XmlDecode(Value);
}

// Blanks at either end are encoded so that the parser's trimming of lines
// cannot lose them; blanks inside stay as they are.
std::string TXmlItem::AsXmlEncodedString() const {
  const std::string_view T = FText;
  size_t L = 0;
  while (L < T.size() && IsBlank(T[L])) ++L;
  size_t E = T.size();
  while (E > L && IsBlank(T[E - 1])) --E;
  return XmlEncode(T.substr(0, L), "") + XmlEncode(T.substr(L, E - L), " \t") + XmlEncode(T.substr(E), "");
}

int TXmlItem::AsInteger() const {
  return StrToInt(FText);
}

void TXmlItem::SetAsInteger(int Value) {
  FText = IntToStr(Value);
}

bool TXmlItem::AsBoolean() const {
  return StrToBool(FText);
}

void TXmlItem::SetAsBoolean(bool Value) {
  FText = BoolToText(Value);
}

bool TXmlItem::HasInteger() const {
  int Value = 0;
  return TryStrToInt(FText, Value);
}

bool TXmlItem::HasBoolean() const {
  try {
    (void)AsBoolean();
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

// ---------------------------------------------------------------------------
// Accessors.

namespace {

TXmlItem* At(const TXmlItemList* List, int Idx) {
  return List && List->ValidIndex(Idx) ? List->Objects(Idx) : nullptr;
}

TXmlItem* ByName(const TXmlItemList* List, std::string_view AName) {
  return List ? List->ItemByName(AName) : nullptr;
}

std::string AsStringOrEmpty(const TXmlItem* Item) {
  return Item ? Item->Text() : std::string();
}

int AsIntOrZero(const TXmlItem* Item) {
  int Value = 0;
  return Item && TryStrToInt(Item->Text(), Value) ? Value : 0;
}

bool AsBoolOrFalse(const TXmlItem* Item) {
  return Item && Item->HasBoolean() && Item->AsBoolean();
}

}  // namespace

TXmlItem* TXmlItem::GetAttribute(int Idx) const {
  return At(FAttributes.get(), Idx);
}

TXmlItem* TXmlItem::GetAttributeByName(std::string_view AName) const {
  return ByName(FAttributes.get(), AName);
}

std::string TXmlItem::GetAttributeAsString(std::string_view AName) const {
  return AsStringOrEmpty(GetAttributeByName(AName));
}

int TXmlItem::GetAttributeAsInt(std::string_view AName) const {
  return AsIntOrZero(GetAttributeByName(AName));
}

bool TXmlItem::GetAttributeAsBool(std::string_view AName) const {
  return AsBoolOrFalse(GetAttributeByName(AName));
}

TXmlItem* TXmlItem::GetItem(int Idx) const {
  return At(FItems.get(), Idx);
}

TXmlItem* TXmlItem::GetItemByName(std::string_view AName) const {
  return ByName(FItems.get(), AName);
}

std::string TXmlItem::GetItemAsString(std::string_view AName) const {
  return AsStringOrEmpty(GetItemByName(AName));
}

int TXmlItem::GetItemAsInt(std::string_view AName) const {
  return AsIntOrZero(GetItemByName(AName));
}

bool TXmlItem::GetItemAsBool(std::string_view AName) const {
  return AsBoolOrFalse(GetItemByName(AName));
}

// ---------------------------------------------------------------------------
// Construction.

void TXmlItem::AddAttribute(const std::string& AName, const std::string& AText) {
  AttributeList().Add(new TXmlItem(AName, AText));
}

void TXmlItem::AddItem(TXmlItem* AItem) {
  if (!AItem) return;
  std::unique_ptr<TXmlItem> Owned(AItem);  // released should the list fail to grow
  ItemList().Add(Owned.get());
  Owned.release();
}

TXmlItem* TXmlItem::AddItem(std::unique_ptr<TXmlItem> AItem) {
  TXmlItem* Item = AItem.release();
  AddItem(Item);
  return Item;
}

TXmlItem* TXmlItem::NewItem(const std::string& AName) {
  return AddItem(std::make_unique<TXmlItem>(AName));
}

void TXmlItem::AddTextItem(const std::string& AName, const std::string& AText) {
  AddItem(std::make_unique<TXmlItem>(AName, AText));
}

void TXmlItem::AddTextItem(const std::string& AName, const std::string& AText,
                           const std::vector<std::string>& AArgs) {
  auto Item = std::make_unique<TXmlItem>(AName, AText);
  for (size_t I = 0; I + 1 < AArgs.size(); I += 2) Item->AddAttribute(AArgs[I], AArgs[I + 1]);
  AddItem(std::move(Item));
}

// ---------------------------------------------------------------------------
// Writing.

std::string TXmlItem::Head() const {
  std::string H = "<" + FName;
  for (int I = 0; I < AttributeCount(); ++I)
    if (const TXmlItem* A = GetAttribute(I)) H += " " + A->Name() + "=\"" + A->AsXmlString() + "\"";
  return H;
}

// Depth-first with an explicit stack of the open elements, so that deep trees
// cannot exhaust the call stack.
void TXmlItem::AppendToStringList(TStringList& AList, int ALevel) const {
  struct TOpen {
    const TXmlItem* Item;
    int Level;
    int Depth;     // levels below the starting element
    int Next = 0;  // index of the next child to write
  };
  const auto Indent = [](int Level) { return std::string(static_cast<size_t>(std::max(Level, 0)), ' '); };
  const auto ChildLevel = [ALevel](int Depth) {
    return ALevel + (Depth + 1) * XmlIndent;
  };
  std::vector<TOpen> Open;
  // Writes an element without children whole, or the head of one with
  // children and opens it.
  const auto Start = [&](const TXmlItem* Item, int Level, int Depth) {
    if (Item->FName.empty()) {
      AList.Add(Indent(Level) + Item->AsXmlEncodedString());
    } else if (Item->IsEmpty()) {
      AList.Add(Indent(Level) + Item->Head() + "/>");
    } else if (Item->IsText()) {
      AList.Add(Indent(Level) + Item->Head() + ">" + Item->AsXmlString() + "</" + Item->FName + ">");
    } else {
      AList.Add(Indent(Level) + Item->Head() + ">");
      Open.push_back({Item, Level, Depth});
    }
  };
  Start(this, ALevel, 0);
  while (!Open.empty()) {
    TOpen& Top = Open.back();
    if (Top.Next < Top.Item->ItemCount()) {
      const TXmlItem* Child = Top.Item->GetItem(Top.Next++);
      const int Depth = Top.Depth + 1;
      if (Child) Start(Child, ChildLevel(Top.Depth), Depth);
      continue;
    }
    if (!Top.Item->FText.empty()) AList.Add(Indent(ChildLevel(Top.Depth)) + Top.Item->AsXmlEncodedString());
    AList.Add(Indent(Top.Level) + "</" + Top.Item->FName + ">");
    Open.pop_back();
  }
}

void TXmlItem::SaveToStringList(TStringList& AList) const {
  AList.Clear();
  if (!XmlHeader.empty()) AList.Add(XmlHeader);
  AppendToStringList(AList, 0);
}

}  // namespace vt
