// The decision model: its settings, the invisible root of the attribute tree,
// the options, reading a model file, and linking repeated attributes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/XUtils.h"
#include "model/VarnAttribute.h"

namespace vt {

class TXmlItem;

inline constexpr int VarnMajorVersion = 4;
inline constexpr int VarnMinorVersion = 1;
// "4.01".
std::string VarnVersionString();

enum TOptDataType { odtZero, odtOne, odtText };
enum TFncFormatType { fftTab, fftCol, fftSgn };

// The model's presentation settings; the defaults are those of Clear.
class TVarnSettings {
 public:
  TVarnSettings() { Clear(); }
  void Clear();

  // The stored value when above 0, otherwise 5.
  int EvalColumns() const { return FEvalColumns > 0 ? FEvalColumns : 5; }
  void SetEvalColumns(int Value) { FEvalColumns = Value; }

  bool Linking;
  bool Undoing;
  bool RptHtml;
  bool DefBrowser;
  TByteSet SelectedReports;
  TByteSet SelectedWeights;
  bool PageBreak;
  int BadColor;
  int GoodColor;
  TFontStyles BadFontStyle;
  TFontStyles GoodFontStyle;
  int WeightDec;
  int EvalTrim;
  bool FncShowWeights;
  bool FncShowNum;
  bool FncComplex;
  bool FncEntered;
  int FontSize;
  std::string FontName;
  TOptDataType OptDataType;
  bool OptDataAll;
  bool OptTranspose;
  bool OptLevels;
  TOptDataType FncDataType;
  bool FncDataAll;
  TFncFormatType FncFormatType;
  bool FncStatus;

 private:
  int FEvalColumns;
};

class TVarnModel : public TVarnObject {
 public:
  TVarnModel();
  ~TVarnModel() override;

  // A fresh root named "Root" replaces the tree; sets Modified.
  void Clear();
  // Modified and Evaluate set, then the tree is linked.
  void Modify();

  // Reads a model file. XML errors are EXmlError, a root other than "Varn"
  // is EVarnError, bad values are EConvertError; the model then holds what
  // was read before the error.
  void LoadFromFile(const std::string& FileName);
  void LoadRoot(const TXmlItem& Root);

  // Linking and look-ups by name (exact comparisons).
  void LinkAttributes();
  TVarnAttribute* LinkAttributeByName(const std::string& AName) const;
  TVarnAttribute* AttributeByName(const std::string& AName) const;
  TVarnAttribute* InputAttributeByName(const std::string& AName) const;

  // Options, kept parallel in every attribute and in Selected.
  void AddOption(const std::string& AName);
  void InsertOption(int Index, const std::string& AName);
  void DeleteOption(int Index);
  void CopyOption(int From, int To);
  void ExchangeOption(int I, int J);
  void MoveOptionUp(int Index);
  void MoveOptionDown(int Index);

  // Properties.
  TVarnAttribute* Root() const { return FRoot.get(); }
  TVarnAttribute* First() const;
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  bool Linking() const { return FSettings->Linking; }
  bool Undoing() const { return FSettings->Undoing; }
  bool Evaluate() const { return FEvaluate; }
  void SetEvaluate(bool Value) { FEvaluate = Value; }
  std::string ModelName() const;
  // Null once the stored scale has been released.
  TVarnDiscreteScale* DefaultScale();
  void SetDefaultScale(TVarnDiscreteScale* Value);
  TVarnSettings& Settings() { return *FSettings; }
  const TVarnSettings& Settings() const { return *FSettings; }
  TStringList& Options() { return *FOptions; }
  const TStringList& Options() const { return *FOptions; }
  bool LoadedFromLegacy() const { return FLoadedFromLegacy; }
  void SetLoadedFromLegacy(bool Value) { FLoadedFromLegacy = Value; }
  int Groups() const { return 1; }
  const std::string& SelectedText() const { return FSelected; }
  void SetSelectedText(const std::string& Value) { FSelected = Value; }
  bool Selected(int Option) const;
  void SetSelected(int Option, bool Value);

 private:
  // The reader's steps.
  void LoadItem(const TXmlItem& Element, TVarnAttribute*& Target);
  void LoadScale(const TXmlItem& Element, TVarnAttribute& Attribute);
  void LoadFunct(const TXmlItem& Element, TVarnAttribute& Attribute);
  std::string LoadDescription(const TXmlItem& Element);
  void LoadSettings(const TXmlItem& Element);
  // Every attribute under the root, each before its inputs.
  std::vector<TVarnAttribute*> AllAttributes() const;

  std::unique_ptr<TVarnAttribute> FRoot;
  bool FModified = true;
  bool FEvaluate = false;
  TVarnDiscreteScale* FDefaultScale = nullptr;
  std::uint64_t FDefaultScaleSerial = 0;
  std::unique_ptr<TStringList> FOptions;
  std::string FSelected;
  std::unique_ptr<TVarnSettings> FSettings;
  bool FLoadedFromLegacy = false;
};

}  // namespace vt
