// Reading a model file written by the modelling tool.
#include <functional>
#include <unordered_map>

#include "foundation/Utils.h"
#include "foundation/XUtils.h"
#include "model/VarnModel.h"
#include "xml/Xml.h"

namespace vt {

namespace {

TOptDataType TextToOptDataType(const std::string& S) {
  if (S == "Zero") return odtZero;
  if (S == "Text") return odtText;
  return odtOne;
}

TFncFormatType TextToFncFormatType(const std::string& S) {
  if (S == "Tab") return fftTab;
  if (S == "Col") return fftCol;
  return fftSgn;
}

TVarnOrder TextToOrder(const std::string& S) {
  if (S == "NONE") return ordNone;
  if (S == "DESC") return ordDescending;
  return ordAscending;
}

using TSettingsKey = std::function<void(TVarnSettings&, const std::string&)>;

const std::unordered_map<std::string, TSettingsKey>& SettingsKeys() {
  static const std::unordered_map<std::string, TSettingsKey> Keys = {
      {"LINKING", [](TVarnSettings& S, const std::string& T) { S.Linking = StrToBool(T); }},
      {"UNDOING", [](TVarnSettings& S, const std::string& T) { S.Undoing = StrToBool(T); }},
      {"REPORTS", [](TVarnSettings& S, const std::string& T) { S.SelectedReports = TextToByteSet(T); }},
      {"HTML", [](TVarnSettings& S, const std::string& T) { S.RptHtml = StrToBool(T); }},
      {"DEFBROWSER", [](TVarnSettings& S, const std::string& T) { S.DefBrowser = StrToBool(T); }},
      {"WEIGHTS", [](TVarnSettings& S, const std::string& T) { S.SelectedWeights = TextToByteSet(T); }},
      {"PAGEBREAK", [](TVarnSettings& S, const std::string& T) { S.PageBreak = StrToBool(T); }},
      {"BADCOLOR", [](TVarnSettings& S, const std::string& T) { S.BadColor = TextToColor(T); }},
      {"GOODCOLOR", [](TVarnSettings& S, const std::string& T) { S.GoodColor = TextToColor(T); }},
      {"BADFONTSTYLE",
       [](TVarnSettings& S, const std::string& T) { S.BadFontStyle = LettersToFontStyle(T); }},
      {"GOODFONTSTYLE",
       [](TVarnSettings& S, const std::string& T) { S.GoodFontStyle = LettersToFontStyle(T); }},
      {"WEIGHTDEC", [](TVarnSettings& S, const std::string& T) { S.WeightDec = StrToInt(T); }},
      {"EVALCOL", [](TVarnSettings& S, const std::string& T) { S.SetEvalColumns(StrToInt(T)); }},
      {"EVALTRIM", [](TVarnSettings& S, const std::string& T) { S.EvalTrim = StrToInt(T); }},
      {"SHOWWEIGHTS", [](TVarnSettings& S, const std::string& T) { S.FncShowWeights = StrToBool(T); }},
      {"SHOWNUM", [](TVarnSettings& S, const std::string& T) { S.FncShowNum = StrToBool(T); }},
      {"COMPLEX", [](TVarnSettings& S, const std::string& T) { S.FncComplex = StrToBool(T); }},
      {"ENTERED", [](TVarnSettings& S, const std::string& T) { S.FncEntered = StrToBool(T); }},
      {"FONTSIZE", [](TVarnSettings& S, const std::string& T) { S.FontSize = StrToInt(T); }},
      {"FONTNAME", [](TVarnSettings& S, const std::string& T) { S.FontName = T; }},
      {"OPTDATATYPE", [](TVarnSettings& S, const std::string& T) { S.OptDataType = TextToOptDataType(T); }},
      {"OPTDATAALL", [](TVarnSettings& S, const std::string& T) { S.OptDataAll = StrToBool(T); }},
      {"OPTTRANSPOSE", [](TVarnSettings& S, const std::string& T) { S.OptTranspose = StrToBool(T); }},
      {"OPTLEVELS", [](TVarnSettings& S, const std::string& T) { S.OptLevels = StrToBool(T); }},
      {"FNCDATATYPE", [](TVarnSettings& S, const std::string& T) { S.FncDataType = TextToOptDataType(T); }},
      {"FNCDATAALL", [](TVarnSettings& S, const std::string& T) { S.FncDataAll = StrToBool(T); }},
      {"FNCFORMATTYPE",
       [](TVarnSettings& S, const std::string& T) { S.FncFormatType = TextToFncFormatType(T); }},
      {"FNCSTATUS", [](TVarnSettings& S, const std::string& T) { S.FncStatus = StrToBool(T); }},
  };
  return Keys;
}

// A new attribute named and described by an ATTRIBUTE element, appended to
// Target's inputs, or handed to Target when that is empty.
TVarnAttribute* NewAttribute(const TXmlItem& Element, TVarnAttribute*& Target) {
  auto Attribute = std::make_unique<TVarnAttribute>(Element.GetItemAsString("NAME"),
                                                    Element.GetItemAsString("DESCRIPTION"));
  TVarnAttribute* Result = Attribute.get();
  if (Target != nullptr)
    Target->AddAttribute(Attribute.get());
  else
    Target = Attribute.get();
  Attribute.release();
  return Result;
}

}  // namespace

void TVarnModel::LoadFromFile(const std::string& FileName) {
  TXmlItem Root;
  Root.LoadFromFile(FileName);
  if (Root.Name() != "Varn") throw EVarnError(Fmt(SVarnUnknownFormat, FileName));
  LoadRoot(Root);
}

void TVarnModel::LoadRoot(const TXmlItem& Root) {
  Clear();
  for (int I = 0; I < Root.ItemCount(); I++) {
    const TXmlItem& Child = *Root.GetItem(I);
    const std::string& Name = Child.Name();
    if (Name == "NAME") {
      SetName(Child.Text());
    } else if (Name == "DESCRIPTION") {
      SetDescription(LoadDescription(Child));
    } else if (Name == "OPTION") {
      FOptions->Add(Child.Text());
    } else if (Name == "SETTINGS") {
      LoadSettings(Child);
    } else if (Name == "LINKING") {
      FSettings->Linking = StrToBool(Child.Text());
    } else if (Name == "EVALCOL") {
      FSettings->SetEvalColumns(StrToInt(Child.Text()));
    } else if (Name == "ATTRIBUTE") {
      TVarnAttribute* Target = FRoot.get();
      LoadItem(Child, Target);
    }
  }
  Modify();
  FModified = false;
}

// Two passes over each ATTRIBUTE element's children: inputs, scale and
// options first, functions second, so that a function sees every input and
// its scale. The nesting is walked with an explicit stack.
void TVarnModel::LoadItem(const TXmlItem& Element, TVarnAttribute*& Target) {
  struct TFrame {
    const TXmlItem* Element;
    TVarnAttribute* Attribute;
    int Next;
    bool Functions;
  };
  std::vector<TFrame> Stack;
  Stack.push_back({&Element, NewAttribute(Element, Target), 0, false});
  while (!Stack.empty()) {
    TFrame& Frame = Stack.back();
    if (Frame.Next >= Frame.Element->ItemCount()) {
      if (Frame.Functions) {
        Stack.pop_back();
      } else {
        Frame.Functions = true;
        Frame.Next = 0;
      }
      continue;
    }
    const TXmlItem& Child = *Frame.Element->GetItem(Frame.Next++);
    const std::string& Name = Child.Name();
    TVarnAttribute* Attribute = Frame.Attribute;
    if (Frame.Functions) {
      if (Name == "FUNCTION") LoadFunct(Child, *Attribute);
    } else if (Name == "ATTRIBUTE") {
      Stack.push_back({&Child, NewAttribute(Child, Attribute), 0, false});
    } else if (Name == "SCALE") {
      LoadScale(Child, *Attribute);
    } else if (Name == "OPTION") {
      Attribute->Options().Add(Child.Text());
    }
  }
}

void TVarnModel::LoadScale(const TXmlItem& Element, TVarnAttribute& Attribute) {
  auto* Scale = new TVarnDiscreteScale;
  Attribute.SetScale(Scale);
  for (int I = 0; I < Element.ItemCount(); I++) {
    const TXmlItem& Child = *Element.GetItem(I);
    const std::string& Name = Child.Name();
    if (Name == "ORDER")
      Scale->SetOrder(TextToOrder(Child.Text()));
    else if (Name == "INTERVAL")
      Scale->SetInterval(StrToBool(Child.Text()));
    else if (Name == "SCALEVALUE")
      Scale->AddValue(Child.GetItemAsString("NAME"), Child.GetItemAsString("DESCRIPTION"));
  }
  Scale->ResetCategories();
  int R = 0;
  for (int I = 0; I < Element.ItemCount(); I++) {
    const TXmlItem& Child = *Element.GetItem(I);
    if (Child.Name() != "SCALEVALUE") continue;
    std::string Group = Child.GetItemAsString("GROUP");
    if (Group == "BAD" && !Scale->IsBad(R)) Scale->SetBad(R);
    if (Group == "GOOD" && !Scale->IsGood(R)) Scale->SetGood(R);
    R++;
  }
}

void TVarnModel::LoadFunct(const TXmlItem& Element, TVarnAttribute& Attribute) {
  auto* Funct = new TVarnFunction;
  Funct->SetAttribute(&Attribute);
  Attribute.SetFunct(Funct);
  std::string Low, High, Entered;
  for (int I = 0; I < Element.ItemCount(); I++) {
    const TXmlItem& Child = *Element.GetItem(I);
    const std::string& Name = Child.Name();
    if (Name == "LOW") {
      Low = Child.Text();
    } else if (Name == "HIGH") {
      High = Child.Text();
    } else if (Name == "ENTERED") {
      Entered = Child.Text();
    } else if (Name == "CONSIST") {
      Funct->SetUseConsist(StrToBool(Child.Text()));
    } else if (Name == "ROUNDING") {
      Funct->SetRounding(StrToInt(Child.Text()));
    } else if (Name == "WEIGHTS") {
      Funct->RequiredWeights() = TextToFloatArray(Child.Text());
      Funct->SetUseWeights(true);
    } else if (Name == "LOCWEIGHTS") {
      Funct->ActualWeights() = TextToFloatArray(Child.Text());
    } else if (Name == "NORMLOCWEIGHTS") {
      Funct->NormActualWeights() = TextToFloatArray(Child.Text());
    } else if (Name == "DESCRIPTION") {
      Funct->SetDescription(LoadDescription(Child));
    }
  }
  if (High.empty()) High = Low;
  const std::u32string L = Utf8ToUtf32(Low), H = Utf8ToUtf32(High), E = Utf8ToUtf32(Entered);
  TVarnRuleList& Rules = Funct->List();
  for (size_t I = 0; I < L.size() && I < Rules.size(); I++) {
    TVarnRule& Rule = Rules[I];
    const size_t N = Rule.size();
    Rule[N - 3] = L[I];
    Rule[N - 2] = I < H.size() ? H[I] : L[I];
    Rule[N - 1] = I < E.size() ? E[I] : U'+';
  }
}

std::string TVarnModel::LoadDescription(const TXmlItem& Element) {
  if (Element.ItemCount() == 0) return Element.Text();
  std::string Result;
  for (int I = 0; I < Element.ItemCount(); I++) {
    const TXmlItem& Child = *Element.GetItem(I);
    if (Child.Name() != "LINE") continue;
    if (!Result.empty()) Result += "\r\n";
    Result += Child.Text();
  }
  return Result;
}

void TVarnModel::LoadSettings(const TXmlItem& Element) {
  const auto& Keys = SettingsKeys();
  for (int I = 0; I < Element.ItemCount(); I++) {
    const TXmlItem& Child = *Element.GetItem(I);
    auto It = Keys.find(Child.Name());
    if (It != Keys.end()) It->second(*FSettings, Child.Text());
  }
}

}  // namespace vt
