// The XML reader on raw bytes. Whatever it accepts, the writer must put into
// lines that read back to the same element tree: writing what was read a
// second time gives the same lines. Names are written as they are, so this
// holds for documents whose names are names. Texts may hold anything, except
// that a text written on a line of its own (a text item among elements, or
// the own text of an element with children) loses the control characters at
// its ends: the dialect protects only blanks and tabs there, and reading
// trims every character up to the blank from each line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Lists.h"
#include "fuzz/FuzzSupport.h"
#include "xml/Xml.h"

using namespace vt;

namespace {

// The reader takes the characters up to a blank or "=" as a name, and an
// attribute without "=" whole; such names cannot be written back.
bool IsName(std::string_view Name) {
  if (Name.empty()) return false;
  for (const char c : Name)
    if (static_cast<unsigned char>(c) <= ' ' ||
        std::string_view("\"'<>/=&").find(c) != std::string_view::npos)
      return false;
  return true;
}

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < ' ' && c != '\t';
}

// A text that the dialect writes on a line of its own and keeps whole.
bool KeptOnItsOwnLine(const std::string& AText) {
  return AText.empty() || (!IsControl(AText.front()) && !IsControl(AText.back()));
}

bool WritesBackWhole(const TXmlItem& ARoot) {
  std::vector<const TXmlItem*> pending{&ARoot};
  while (!pending.empty()) {
    const TXmlItem& item = *pending.back();
    pending.pop_back();
    if (!IsName(item.Name())) return false;
    if (item.ItemCount() > 0 && !KeptOnItsOwnLine(item.Text())) return false;
    for (int i = 0; i < item.AttributeCount(); ++i)
      if (!IsName(item.GetAttribute(i)->Name())) return false;
    for (int i = 0; i < item.ItemCount(); ++i) {
      const TXmlItem* child = item.GetItem(i);
      // A text item: nameless, no attributes, no children, some text. A
      // nameless tag ("< a='1'/>") gives a nameless element, which is not.
      if (child->Name().empty() && child->AttributeCount() == 0 && child->IsText() && !child->Text().empty()) {
        if (!KeptOnItsOwnLine(child->Text())) return false;
        continue;
      }
      pending.push_back(child);
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string path = fuzz::WriteScratchFile("input.xml", Data, Size);
  TXmlItem document;
  if (!fuzz::Succeeds([&] { document.LoadFromFile(path); })) return 0;
  // A document of the header alone leaves the element as it was: nameless,
  // and a nameless element is not a document.
  if (!WritesBackWhole(document)) return 0;

  TStringList written;
  document.SaveToStringList(written);
  TXmlItem reread;
  if (!fuzz::Succeeds([&] { reread.LoadFromStringList(written); }))
    fuzz::Fail("the written document does not read back", written.Text());
  TStringList rewritten;
  reread.SaveToStringList(rewritten);
  fuzz::CheckSameText("the document read back writes differently", written.Text(), rewritten.Text());
  return 0;
}
