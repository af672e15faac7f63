// Helpers shared by the XML tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Lists.h"
#include "xml/Xml.h"

namespace vt::testing {

inline constexpr const char* kUtf8Header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

inline void FillList(TStringList& List, std::initializer_list<std::string> Lines) {
  List.Clear();
  for (const std::string& L : Lines) List.Add(L);
}

inline std::vector<std::string> ToVector(const TStringList& List) {
  std::vector<std::string> Out;
  for (int I = 0; I < List.Count(); ++I) Out.push_back(List.Strings(I));
  return Out;
}

// The lines SaveToStringList gives for Item.
inline std::vector<std::string> SavedLines(const TXmlItem& Item) {
  TStringList List;
  Item.SaveToStringList(List);
  return ToVector(List);
}

// Reads the lines into Item and returns the message of the EXmlError raised,
// or "" when reading succeeded.
inline std::string LoadError(TXmlItem& Item, std::initializer_list<std::string> Lines) {
  TStringList List;
  FillList(List, Lines);
  try {
    Item.LoadFromStringList(List);
  } catch (const EXmlError& E) {
    return E.what();
  }
  return "";
}

// A compact picture of a tree, for comparing two trees: name, attributes and
// text of every element, children in brackets, text items as 'text'.
inline std::string Dump(const TXmlItem& Item) {
  std::string Out;
  struct TFrame {
    const TXmlItem* Item;
    int Next;
  };
  std::vector<TFrame> Stack;
  const auto Open = [&](const TXmlItem* I) {
    if (I->Name().empty()) {
      Out += "'" + I->Text() + "'";
      return;
    }
    Out += I->Name();
    for (int A = 0; A < I->AttributeCount(); ++A)
      Out += " " + I->GetAttribute(A)->Name() + "=" + I->GetAttribute(A)->Text();
    if (!I->Text().empty()) Out += " {" + I->Text() + "}";
    if (!I->IsText()) {
      Out += "[";
      Stack.push_back({I, 0});
    }
  };
  Open(&Item);
  while (!Stack.empty()) {
    TFrame& Top = Stack.back();
    if (Top.Next < Top.Item->ItemCount()) {
      if (Top.Next > 0) Out += ",";
      const TXmlItem* Child = Top.Item->GetItem(Top.Next++);
      Open(Child);
    } else {
      Out += "]";
      Stack.pop_back();
    }
  }
  return Out;
}

// A chain of Depth elements named "e", built in code.
inline std::unique_ptr<TXmlItem> DeepChain(int Depth) {
  auto Root = std::make_unique<TXmlItem>("e");
  TXmlItem* Cur = Root.get();
  for (int I = 1; I < Depth; ++I) Cur = Cur->NewItem("e");
  return Root;
}

// Restores the unit settings that a test changes.
class XmlSettingsGuard {
 public:
  XmlSettingsGuard() : FHeader(XmlHeader), FIndent(XmlIndent), FUtf8(XmlUtf8) {}
  ~XmlSettingsGuard() {
    XmlHeader = FHeader;
    XmlIndent = FIndent;
    XmlUtf8 = FUtf8;
  }
  XmlSettingsGuard(const XmlSettingsGuard&) = delete;
  XmlSettingsGuard& operator=(const XmlSettingsGuard&) = delete;

 private:
  std::string FHeader;
  int FIndent;
  bool FUtf8;
};

}  // namespace vt::testing
