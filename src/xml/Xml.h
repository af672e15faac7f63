// The system's own small XML dialect: an element tree of TXmlItem objects
// with typed accessors, a writer that puts one element per line, and the
// line-oriented parser that reads such files back.
//
// The dialect is not general XML. Every value passes through a fixed table of
// nine named entities ("&amp;", "&lt;", "&gt;", "&apos;", "&quot;", "&cr;",
// "&lf;", "&nbsp;", "&tab;"); there are no numeric character references,
// comments, CDATA sections or namespaces. Files start with one header line.
//
// Strings inside the system are UTF-8. Files are written as UTF-8 without a
// byte-order mark; on reading, a byte-order mark is skipped, bytes that are
// not valid UTF-8 under the UTF-8 header become U+FFFD (one per bad byte), and
// under the plain header the bytes are read as Windows-1250.
//
// Limits:
// - Reading refuses elements nested deeper than XmlMaxDepth levels (the root
//   is level 1) with an EXmlError; nothing in reading, writing or destroying
//   a tree recurses along its depth.
// - The writer indents every level by XmlIndent more spaces, however deep;
//   the reader ignores indentation.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Base.h"
#include "foundation/Lists.h"
#include "foundation/Utils.h"

namespace vt {

// ---------------------------------------------------------------------------
// Messages of this unit.

// Every reading error starts with this, the line number being one more than
// the number of lines consumed when the error was found.
inline constexpr const char* SXmlReadError = "Error reading XML around line %d: ";
inline constexpr const char* SXmlMissingHeader = "Missing or unrecognized XML header";
inline constexpr const char* SXmlTagExpected = "A tag expected instead of text \"%s\"";
inline constexpr const char* SXmlUnterminatedTag = "Unterminated tag \"%s\"";
inline constexpr const char* SXmlOpeningTagExpected = "Expecting an opening tag instead of \"</%s>\"";
inline constexpr const char* SXmlTerminatingTagExpected =
    "Expecting terminating tag \"</%s>\" instead of \"</%s>\"";
inline constexpr const char* SXmlMissingTag = "Missing tag \"</%s>\"";
inline constexpr const char* SXmlTooDeep = "Elements nested deeper than %d levels";
// File errors: the file name and the system's reason.
inline constexpr const char* SXmlOpenError = "Cannot open file \"%s\". %s";
inline constexpr const char* SXmlReadFileError = "Cannot read file \"%s\". %s";
inline constexpr const char* SXmlFileTooLarge = "The file is larger than %s";
inline constexpr const char* SXmlCreateError = "Cannot create file \"%s\". %s";
inline constexpr const char* SXmlWriteError = "Cannot write file \"%s\". %s";

// Errors in the content of a document being read.
class EXmlError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be opened, read, created or written. The element tree
// (when saving) and an existing target file are left as they were.
class EXmlFileError : public Exception {
 public:
  using Exception::Exception;
};

// ---------------------------------------------------------------------------
// Unit settings.

// The header line that SaveToStringList writes first and the parser requires.
extern std::string XmlHeader;
// The header that is accepted instead of XmlHeader and means Windows-1250 text.
inline constexpr const char* XmlPlainHeader = "<?xml version=\"1.0\"?>";
// Spaces added per nesting level by the writer.
extern int XmlIndent;
// Whether XmlDecode reads decoded values as UTF-8 (otherwise as
// Windows-1250); the parser sets it for each document from its header.
extern bool XmlUtf8;

inline constexpr int XmlMaxDepth = 1000;
// Files larger than this many bytes (1 GB) are refused unread, and an
// endless stream once its read passes it.
extern std::size_t XmlMaxFileSize;

// ---------------------------------------------------------------------------
// Entity coding.

// Replaces, unless the character occurs in Keep, "&", "<", ">", apostrophe,
// double quote, CR, LF, space and tab by their entities.
std::string XmlEncode(std::string_view S, std::string_view Keep);
// Replaces the nine entities by their characters ("&amp;" last, so "&amp;lt;"
// gives "&lt;"), then reads the bytes as UTF-8 or Windows-1250 by XmlUtf8.
std::string XmlDecode(std::string_view S);
// The same with the character set given.
std::string XmlDecode(std::string_view S, bool AUtf8);

class TXmlItemList;
class TXmlParser;

// ---------------------------------------------------------------------------
// TXmlItem: one element. An attribute is a TXmlItem in the attribute list
// (Name and Text being its name and value); a text item is a TXmlItem with an
// empty Name in the child list, carrying text that stood before a child
// element. Names are compared exactly; lookups by name give the first match.
class TXmlItem : public TObject {
 public:
  explicit TXmlItem(std::string AName = std::string(), std::string AText = std::string());
  // Releases the whole subtree, without recursion along its depth.
  ~TXmlItem() override;
  TXmlItem(const TXmlItem&) = delete;
  TXmlItem& operator=(const TXmlItem&) = delete;

  // Properties.
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }
  const std::string& AsString() const { return FText; }
  void SetAsString(const std::string& Value) { FText = Value; }
  int AttributeCount() const;
  int ItemCount() const;
  // The lists themselves; null while the element has none.
  TXmlItemList* Attributes() const { return FAttributes.get(); }
  TXmlItemList* Items() const { return FItems.get(); }

  // Text encoded for the file, spaces and tabs kept.
  std::string AsXmlString() const;
  // Text := XmlDecode (Value).
  void SetAsXmlString(const std::string& Value);
  // As AsXmlString, with the leading and trailing spaces and tabs encoded too.
  std::string AsXmlEncodedString() const;
  // Raises EConvertError when Text is no integer.
  int AsInteger() const;
  void SetAsInteger(int Value);
  // Raises EConvertError when Text is no Boolean.
  bool AsBoolean() const;
  void SetAsBoolean(bool Value);
  // No child list (a list that was created and emptied still counts).
  bool IsText() const { return FItems == nullptr; }
  bool IsEmpty() const { return IsText() && FText.empty(); }
  bool HasInteger() const;
  bool HasBoolean() const;

  // Accessors: absent names and indexes give null, "", 0 or False.
  TXmlItem* GetAttribute(int Idx) const;
  TXmlItem* GetAttributeByName(std::string_view AName) const;
  std::string GetAttributeAsString(std::string_view AName) const;
  int GetAttributeAsInt(std::string_view AName) const;
  bool GetAttributeAsBool(std::string_view AName) const;
  TXmlItem* GetItem(int Idx) const;
  TXmlItem* GetItemByName(std::string_view AName) const;
  std::string GetItemAsString(std::string_view AName) const;
  int GetItemAsInt(std::string_view AName) const;
  bool GetItemAsBool(std::string_view AName) const;

  // Construction; the order of calls is the order in the file.
  void AddAttribute(const std::string& AName, const std::string& AText);
  // The element takes ownership of AItem (a null AItem is ignored). AItem
  // must not be owned elsewhere.
  void AddItem(TXmlItem* AItem);
  TXmlItem* AddItem(std::unique_ptr<TXmlItem> AItem);
  // A new child (AName, empty text), returned.
  TXmlItem* NewItem(const std::string& AName);
  void AddTextItem(const std::string& AName, const std::string& AText);
  // AArgs are name/value pairs of attributes; an unpaired last one is ignored.
  void AddTextItem(const std::string& AName, const std::string& AText, const std::vector<std::string>& AArgs);

  // Writing. ALevel is the indentation of the element's own lines in spaces.
  void AppendToStringList(TStringList& AList, int ALevel) const;
  // Clears AList, adds XmlHeader (unless empty), then the element's lines.
  void SaveToStringList(TStringList& AList) const;
  // Writes the lines as UTF-8, each ended by CR LF. The file is written under
  // a temporary name in the target's folder and then renamed over the target,
  // so an existing file survives a failed write; raises EXmlFileError.
  void SaveToFile(const std::string& AFileName) const;

  // Reading. Fills this element from the parser's last tag (an opening tag)
  // and everything up to its end tag; raises EXmlError.
  void ReadFromParser(TXmlParser& AParser);
  // Reads the document in AList into this element. A document that holds
  // only the header leaves the element as it was.
  void LoadFromStringList(const TStringList& AList);
  // Reads the file (raises EXmlFileError when it cannot be read).
  void LoadFromFile(const std::string& AFileName);

 private:
  // Moves the owned attributes and children into Pending, leaving the lists
  // holding nulls.
  void DetachChildren(std::vector<TObject*>& Pending);
  // Name and attributes from the parser's last tag.
  void FillFromTag(const TXmlParser& AParser);
  // "<", the name and the attributes.
  std::string Head() const;
  TXmlItemList& AttributeList();
  TXmlItemList& ItemList();

  std::string FName;
  std::unique_ptr<TXmlItemList> FAttributes;
  std::unique_ptr<TXmlItemList> FItems;
  std::string FText;
};

// ---------------------------------------------------------------------------
// TXmlItemList: an owning, unsorted object list of elements that accepts
// duplicates.
class TXmlItemList : public TObjList {
 public:
  TXmlItemList() : TObjList(true, false, dupAccept) {}

  // The entry as an element (the list holds elements only).
  TXmlItem* Objects(int Idx) const override { return static_cast<TXmlItem*>(TObjList::Objects(Idx)); }
  // The first entry with that Name, or null.
  TXmlItem* ItemByName(std::string_view AName) const;
};

// ---------------------------------------------------------------------------
// TXmlParser: cuts a list of text lines into tags and texts. Lines are trimmed
// and joined by single blanks; a tag is everything from a "<" to the next
// ">". Creating a parser checks the header.
class TXmlParser {
 public:
  // Raises EXmlError (SXmlMissingHeader) when AList is null or does not start
  // with XmlHeader or XmlPlainHeader; sets XmlUtf8 from the header.
  explicit TXmlParser(const TStringList* AList);
  ~TXmlParser();
  TXmlParser(const TXmlParser&) = delete;
  TXmlParser& operator=(const TXmlParser&) = delete;

  const std::string& TagName() const { return FTagName; }
  bool EmptyTag() const { return FEmptyTag; }
  bool EndTag() const { return FEndTag; }
  // The attributes of the last tag, each "name=value" (value still encoded).
  const TStringList& TagAttributes() const { return FTagAttributes; }
  // Number of lines consumed so far.
  int Line() const { return FLine; }
  // Whether the document's values are UTF-8 (else Windows-1250).
  bool Utf8() const { return FUtf8; }

 private:
  friend class TXmlItem;

  // Texts from the input are quoted as excerpts: an unterminated tag would
  // otherwise quote the rest of the file.
  template <typename... Args>
  [[noreturn]] void Error(const char* AFormat, const Args&... AArgs) const {
    throw EXmlError(Fmt(SXmlReadError, FLine + 1) + Fmt(AFormat, Quoted(AArgs)...));
  }
  static std::string Quoted(const std::string& AText) { return Excerpt(AText); }
  static int Quoted(int AValue) { return AValue; }

  void ClearTag();
  bool ReadLine();
  // Index in FStr of the first C in the pending text, reading further lines
  // while there is none; npos when the input ends without one.
  size_t FindReading(char C);
  std::string_view Pending() const;
  // Names and texts of the input held as UTF-8, by the document's character
  // set (entities untouched).
  std::string Charset(std::string_view S) const;
  std::string NextTag();
  std::string NextText();
  void ParseTag(std::string_view Tag);
  static std::string NextAttribute(std::string_view& Rest);

  const TStringList* FList;
  int FLine = 0;
  // The pending text is FStr from FStart on; consumed text is dropped from
  // the front only now and then, so that cutting a long line stays linear.
  std::string FStr;
  size_t FStart = 0;
  bool FEOL = false;
  std::string FTagName;
  TStringList FTagAttributes;
  bool FEmptyTag = false;
  bool FEndTag = false;
  bool FUtf8 = true;
};

}  // namespace vt
