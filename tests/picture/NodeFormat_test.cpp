#include "picture/NodeFormat.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "PictureFixture.h"
#include "foundation/Lists.h"
#include "picture/NodeFormats.h"

namespace vt::test {
namespace {

std::vector<std::string> ChildClasses(const TNodeFormat* F) {
  std::vector<std::string> names;
  for (int i = 0; i < F->ChildCount(); ++i) names.push_back(F->GetChild(i)->FormatClass());
  return names;
}

// Every value property of two formats (class name, parent and children
// aside) is equal.
void ExpectSameValues(const TNodeFormat& A, const TNodeFormat& B) {
  EXPECT_EQ(A.MinWidth(), B.MinWidth());
  EXPECT_EQ(A.MaxWidth(), B.MaxWidth());
  EXPECT_EQ(A.MinHeight(), B.MinHeight());
  EXPECT_EQ(A.MaxHeight(), B.MaxHeight());
  EXPECT_TRUE(AnchorEqual(A.UpAnchor(), B.UpAnchor()));
  EXPECT_TRUE(AnchorEqual(A.DownAnchor(), B.DownAnchor()));
  EXPECT_EQ(A.Font(), B.Font());
  EXPECT_EQ(A.LinePen(), B.LinePen());
  EXPECT_EQ(A.NodePen(), B.NodePen());
  EXPECT_EQ(A.NodeBrush(), B.NodeBrush());
  EXPECT_EQ(A.NodeAlign(), B.NodeAlign());
  EXPECT_EQ(A.Shape(), B.Shape());
  EXPECT_TRUE(AnchorEqual(A.RoundEdge(), B.RoundEdge()));
  EXPECT_EQ(A.TextBorder(), B.TextBorder());
  EXPECT_EQ(A.TextWrap(), B.TextWrap());
  EXPECT_EQ(A.TextClip(), B.TextClip());
  EXPECT_EQ(A.TextTrim(), B.TextTrim());
  EXPECT_EQ(A.TextXAlign(), B.TextXAlign());
  EXPECT_EQ(A.TextYAlign(), B.TextYAlign());
  EXPECT_EQ(A.LineSpacing(), B.LineSpacing());
}

// A format whose every value differs from the defaults.
void SetEveryValue(TNodeFormat& F) {
  F.SetMinWidth(11);
  F.SetMaxWidth(222);
  F.SetMinHeight(12);
  F.SetMaxHeight(66);
  F.SetUpAnchor({1, 2, Upix, Uperc});
  F.SetDownAnchor({3, 4, Uperc, Upix});
  F.SetFont(TFont("Courier New", 12, clRed, {fsBold, fsItalic}, ANSI_CHARSET));
  F.SetLinePen(TPen(clBlue, 3, psDash));
  F.SetNodePen(TPen(clGreen, 2, psDot));
  F.SetNodeBrush(TBrush(clYellow, bsCross));
  F.SetNodeAlign(taRightJustify);
  F.SetShape(stEllipse);
  F.SetRoundEdge({20, 30, Uperc, Uperc});
  F.SetTextBorder(TRect(1, 2, 3, 4));
  F.SetTextWrap(false);
  F.SetTextClip(true);
  F.SetTextTrim(7);
  F.SetTextXAlign(taLeftJustify);
  F.SetTextYAlign(taRightJustify);
  F.SetLineSpacing(1.5);
}

TEST(NodeFormatTest, DefaultsOfAFormatWithoutParent) {
  const TNodeFormat f("x");
  EXPECT_EQ(f.FormatClass(), "x");
  EXPECT_EQ(f.Parent(), nullptr);
  EXPECT_EQ(f.ChildCount(), 0);
  EXPECT_EQ(f.MinWidth(), 50);
  EXPECT_EQ(f.MaxWidth(), 150);
  EXPECT_EQ(f.MinHeight(), 10);
  EXPECT_EQ(f.MaxHeight(), 30);
  EXPECT_TRUE(AnchorEqual(f.UpAnchor(), TAnchor{50, 0, Uperc, Uperc}));
  EXPECT_TRUE(AnchorEqual(f.DownAnchor(), TAnchor{50, 100, Uperc, Uperc}));
  EXPECT_EQ(f.Font().Name(), "Arial");
  EXPECT_EQ(f.Font().Height(), -13);
  EXPECT_EQ(f.Font().Charset(), EASTEUROPE_CHARSET);
  EXPECT_EQ(f.Font().Color(), clWindowText);
  EXPECT_EQ(f.Font().Style(), TFontStyles());
  EXPECT_EQ(f.LinePen(), TPen(clBlack, 1, psSolid));
  EXPECT_EQ(f.NodePen(), TPen(clBlack, 1, psSolid));
  EXPECT_EQ(f.NodeBrush(), TBrush(clWhite, bsSolid));
  EXPECT_EQ(f.NodeAlign(), taCenter);
  EXPECT_EQ(f.Shape(), stRectangle);
  EXPECT_TRUE(AnchorEqual(f.RoundEdge(), TAnchor{10, 10, Upix, Upix}));
  EXPECT_EQ(f.TextBorder(), TRect(5, 3, 5, 3));
  EXPECT_TRUE(f.TextWrap());
  EXPECT_FALSE(f.TextClip());
  EXPECT_EQ(f.TextTrim(), -1);
  EXPECT_EQ(f.TextXAlign(), taCenter);
  EXPECT_EQ(f.TextYAlign(), taCenter);
  EXPECT_EQ(f.LineSpacing(), 1.0);
}

TEST(NodeFormatTest, ParentlessFormatTakesTheGivenDefaultFont) {
  const TFont font("Tahoma", 9, clNavy);
  const TNodeFormat f("", nullptr, font);
  EXPECT_EQ(f.Font(), font);
  EXPECT_EQ(f.MaxWidth(), 150);
}

TEST(NodeFormatTest, DefaultClassTree) {
  TFormatClasses classes;
  TNodeFormat* all = classes.Formats();
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(all->FormatClass(), "all");
  EXPECT_EQ(all->Parent(), nullptr);
  EXPECT_EQ(ChildClasses(all), (std::vector<std::string>{"basic", "aggregate", "link"}));
  const TNodeFormat defaults("");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(all->GetChild(i)->Parent(), all);
    ExpectSameValues(*all->GetChild(i), defaults);
  }
  EXPECT_EQ(all->Find("aggregate"), all->GetChild(1));
  EXPECT_EQ(classes.FindFormat("aggregate"), all->GetChild(1));
  EXPECT_EQ(all->Find("Aggregate"), nullptr);
  EXPECT_EQ(classes.FindFormat("Aggregate"), nullptr);
  EXPECT_EQ(classes.GetClassFormat("Aggregate"), all);
  EXPECT_EQ(classes.GetClassFormat("link"), all->GetChild(2));
  EXPECT_EQ(classes.GetClassFormat(""), all);
}

TEST(NodeFormatTest, SetDefaultFormatsReplacesTheTreeAndUsesTheDefaultFont) {
  TFormatClasses classes;
  classes.Formats()->SetMaxWidth(400);
  new TNodeFormat("extra", classes.Formats());
  const TFont font("Verdana", 11);
  classes.SetDefaultFont(font);
  classes.SetDefaultFormats();
  EXPECT_EQ(ChildClasses(classes.Formats()), (std::vector<std::string>{"basic", "aggregate", "link"}));
  EXPECT_EQ(classes.Formats()->MaxWidth(), 150);
  EXPECT_EQ(classes.FindFormat("basic")->Font(), font);
  std::unique_ptr<TNodeFormat> own(classes.CreateFormat("", nullptr));
  EXPECT_EQ(own->Font(), font);
}

TEST(NodeFormatTest, SetFormatsTakesOverANewTree) {
  TFormatClasses classes;
  auto root = std::make_unique<TNodeFormat>("all");
  TNodeFormat* custom = new TNodeFormat("custom", root.get());
  TNodeFormat* raw = root.get();
  classes.SetFormats(std::move(root));
  EXPECT_EQ(classes.Formats(), raw);
  EXPECT_EQ(classes.FindFormat("custom"), custom);
  EXPECT_EQ(classes.FindFormat("basic"), nullptr);
  EXPECT_EQ(classes.GetClassFormat("basic"), raw);
  classes.SetFormats(nullptr);
  EXPECT_EQ(classes.Formats(), nullptr);
  EXPECT_EQ(classes.FindFormat("all"), nullptr);
  EXPECT_EQ(classes.GetClassFormat("all"), nullptr);
}

TEST(NodeFormatTest, FindSearchesDepthFirstInPreOrder) {
  TNodeFormat root("r");
  auto* a = new TNodeFormat("a", &root);
  auto* a1 = new TNodeFormat("x", a);
  auto* b = new TNodeFormat("x", &root);
  EXPECT_EQ(root.Find("x"), a1);
  EXPECT_EQ(root.Find("r"), &root);
  EXPECT_EQ(b->Find("x"), b);
  EXPECT_EQ(a->Find("r"), nullptr);
}

TEST(NodeFormatTest, PushDownReachesEveryFormatBelowOnly) {
  TFormatClasses classes;
  TNodeFormat* all = classes.Formats();
  TNodeFormat* basic = classes.FindFormat("basic");
  TNodeFormat* link = classes.FindFormat("link");
  TNodeFormat* onBasic = new TNodeFormat("", basic);
  TNodeFormat* onLink = new TNodeFormat("", link);

  all->SetMaxWidth(200);
  for (const TNodeFormat* f : {all, basic, classes.FindFormat("aggregate"), link, onBasic, onLink})
    EXPECT_EQ(f->MaxWidth(), 200);

  basic->SetMaxWidth(120);
  EXPECT_EQ(basic->MaxWidth(), 120);
  EXPECT_EQ(onBasic->MaxWidth(), 120);
  for (const TNodeFormat* f : {all, classes.FindFormat("aggregate"), link, onLink})
    EXPECT_EQ(f->MaxWidth(), 200);
}

TEST(NodeFormatTest, EverySetterPushesDownItsOwnValueOnly) {
  TNodeFormat root("r");
  auto* child = new TNodeFormat("c", &root);
  auto* grandchild = new TNodeFormat("", child);
  SetEveryValue(root);
  ExpectSameValues(*child, root);
  ExpectSameValues(*grandchild, root);

  // One property on the child: the others stay as they were below it.
  child->SetShape(stRoundRect);
  EXPECT_EQ(grandchild->Shape(), stRoundRect);
  EXPECT_EQ(root.Shape(), stEllipse);
  EXPECT_EQ(grandchild->MaxWidth(), 222);
}

// Each setter on its own, with a value no format has by default: it reaches
// the format and everything below it, not the format above, and changes no
// other property anywhere.
struct SetterCase {
  const char* Name;
  std::function<void(TNodeFormat&)> Set;
  std::function<bool(const TNodeFormat&)> Has;
};

TEST(NodeFormatTest, EachSetterPushesDownItsOwnPropertyAndNoOther) {
  const TFont font("Courier New", 12, clRed, {fsBold}, ANSI_CHARSET);
  const SetterCase cases[] = {
      {"MinWidth", [](TNodeFormat& f) { f.SetMinWidth(11); },
       [](const TNodeFormat& f) { return f.MinWidth() == 11; }},
      {"MaxWidth", [](TNodeFormat& f) { f.SetMaxWidth(222); },
       [](const TNodeFormat& f) { return f.MaxWidth() == 222; }},
      {"MinHeight", [](TNodeFormat& f) { f.SetMinHeight(12); },
       [](const TNodeFormat& f) { return f.MinHeight() == 12; }},
      {"MaxHeight", [](TNodeFormat& f) { f.SetMaxHeight(66); },
       [](const TNodeFormat& f) { return f.MaxHeight() == 66; }},
      {"UpAnchor",
       [](TNodeFormat& f) {
         f.SetUpAnchor({1, 2, Upix, Uperc});
       },
       [](const TNodeFormat& f) {
         return AnchorEqual(f.UpAnchor(), {1, 2, Upix, Uperc});
       }},
      {"DownAnchor",
       [](TNodeFormat& f) {
         f.SetDownAnchor({3, 4, Uperc, Upix});
       },
       [](const TNodeFormat& f) {
         return AnchorEqual(f.DownAnchor(), {3, 4, Uperc, Upix});
       }},
      {"Font", [&](TNodeFormat& f) { f.SetFont(font); },
       [&](const TNodeFormat& f) { return f.Font() == font; }},
      {"LinePen", [](TNodeFormat& f) { f.SetLinePen(TPen(clBlue, 3, psDash)); },
       [](const TNodeFormat& f) { return f.LinePen() == TPen(clBlue, 3, psDash); }},
      {"NodePen", [](TNodeFormat& f) { f.SetNodePen(TPen(clGreen, 2, psDot)); },
       [](const TNodeFormat& f) { return f.NodePen() == TPen(clGreen, 2, psDot); }},
      {"NodeBrush", [](TNodeFormat& f) { f.SetNodeBrush(TBrush(clYellow, bsCross)); },
       [](const TNodeFormat& f) { return f.NodeBrush() == TBrush(clYellow, bsCross); }},
      {"NodeAlign", [](TNodeFormat& f) { f.SetNodeAlign(taRightJustify); },
       [](const TNodeFormat& f) { return f.NodeAlign() == taRightJustify; }},
      {"Shape", [](TNodeFormat& f) { f.SetShape(stEllipse); },
       [](const TNodeFormat& f) { return f.Shape() == stEllipse; }},
      {"RoundEdge",
       [](TNodeFormat& f) {
         f.SetRoundEdge({20, 30, Uperc, Uperc});
       },
       [](const TNodeFormat& f) {
         return AnchorEqual(f.RoundEdge(), {20, 30, Uperc, Uperc});
       }},
      {"TextBorderLeft", [](TNodeFormat& f) { f.SetTextBorderLeft(21); },
       [](const TNodeFormat& f) { return f.TextBorder().Left == 21; }},
      {"TextBorderTop", [](TNodeFormat& f) { f.SetTextBorderTop(22); },
       [](const TNodeFormat& f) { return f.TextBorder().Top == 22; }},
      {"TextBorderRight", [](TNodeFormat& f) { f.SetTextBorderRight(23); },
       [](const TNodeFormat& f) { return f.TextBorder().Right == 23; }},
      {"TextBorderBottom", [](TNodeFormat& f) { f.SetTextBorderBottom(24); },
       [](const TNodeFormat& f) { return f.TextBorder().Bottom == 24; }},
      {"TextWrap", [](TNodeFormat& f) { f.SetTextWrap(false); },
       [](const TNodeFormat& f) { return !f.TextWrap(); }},
      {"TextClip", [](TNodeFormat& f) { f.SetTextClip(true); },
       [](const TNodeFormat& f) { return f.TextClip(); }},
      {"TextTrim", [](TNodeFormat& f) { f.SetTextTrim(7); },
       [](const TNodeFormat& f) { return f.TextTrim() == 7; }},
      {"TextXAlign", [](TNodeFormat& f) { f.SetTextXAlign(taLeftJustify); },
       [](const TNodeFormat& f) { return f.TextXAlign() == taLeftJustify; }},
      {"TextYAlign", [](TNodeFormat& f) { f.SetTextYAlign(taRightJustify); },
       [](const TNodeFormat& f) { return f.TextYAlign() == taRightJustify; }},
      {"LineSpacing", [](TNodeFormat& f) { f.SetLineSpacing(1.5); },
       [](const TNodeFormat& f) { return f.LineSpacing() == 1.5; }},
  };
  for (const SetterCase& c : cases) {
    TNodeFormat root("root");
    auto* middle = new TNodeFormat("middle", &root);
    auto* first = new TNodeFormat("first", middle);
    auto* deeper = new TNodeFormat("", first);
    auto* second = new TNodeFormat("", middle);
    c.Set(*middle);
    for (const TNodeFormat* f : {middle, first, deeper, second}) EXPECT_TRUE(c.Has(*f)) << c.Name;
    EXPECT_FALSE(c.Has(root)) << c.Name;
    for (const SetterCase& other : cases) {
      if (&other == &c) continue;
      for (const TNodeFormat* f : {&root, middle, first, deeper, second})
        EXPECT_FALSE(other.Has(*f)) << c.Name << " also set " << other.Name << " on " << f->FormatClass();
    }
  }
  // TextBorder sets all four sides at once.
  TNodeFormat root("root");
  auto* child = new TNodeFormat("", &root);
  root.SetTextBorder(TRect(21, 22, 23, 24));
  EXPECT_EQ(child->TextBorder(), TRect(21, 22, 23, 24));
}

TEST(NodeFormatTest, TextBorderSidesPushDownOneSide) {
  TFormatClasses classes;
  TNodeFormat* basic = classes.FindFormat("basic");
  TNodeFormat* own = new TNodeFormat("", basic);
  own->SetTextBorder(TRect(1, 2, 3, 4));
  classes.Formats()->SetTextBorderLeft(8);
  EXPECT_EQ(classes.Formats()->TextBorder(), TRect(8, 3, 5, 3));
  EXPECT_EQ(basic->TextBorder(), TRect(8, 3, 5, 3));
  EXPECT_EQ(own->TextBorder(), TRect(8, 2, 3, 4));
  classes.Formats()->SetTextBorderTop(9);
  classes.Formats()->SetTextBorderRight(10);
  classes.Formats()->SetTextBorderBottom(11);
  EXPECT_EQ(own->TextBorder(), TRect(8, 9, 10, 11));
}

TEST(NodeFormatTest, IndividualFormatCopiesItsClassAndFollowsIt) {
  TFormatClasses classes;
  TNodeFormat* basic = classes.FindFormat("basic");
  SetEveryValue(*basic);
  TNodeFormat* own = new TNodeFormat("", basic);
  EXPECT_EQ(own->FormatClass(), "");
  EXPECT_EQ(own->Parent(), basic);
  ExpectSameValues(*own, *basic);

  const TFont classFont("Georgia", 14);
  basic->SetFont(classFont);
  EXPECT_EQ(own->Font(), classFont);
  own->SetFont(TFont("Impact", 20));
  EXPECT_EQ(basic->Font(), classFont);
}

TEST(NodeFormatTest, ReparentingMovesTheFormatAndReplacesItsValues) {
  TFormatClasses classes;
  TNodeFormat* basic = classes.FindFormat("basic");
  TNodeFormat* link = classes.FindFormat("link");
  SetEveryValue(*link);
  TNodeFormat* own = new TNodeFormat("", basic);
  own->SetParent(link);
  EXPECT_EQ(basic->ChildCount(), 0);
  ASSERT_EQ(link->ChildCount(), 1);
  EXPECT_EQ(link->GetChild(0), own);
  EXPECT_EQ(own->Parent(), link);
  ExpectSameValues(*own, *link);

  own->SetParent(nullptr);
  EXPECT_EQ(link->ChildCount(), 0);
  EXPECT_EQ(own->Parent(), nullptr);
  EXPECT_EQ(own->MaxWidth(), 222);  // keeps what it had
  delete own;
}

TEST(NodeFormatTest, ReparentingBelowItselfIsRefused) {
  TNodeFormat root("all");
  auto* basic = new TNodeFormat("basic", &root);
  auto* own = new TNodeFormat("", basic);
  const std::string below =
      "Cannot register format \"basic\" below itself or below one of its own descendants";
  EXPECT_THROW_MSG(basic->SetParent(basic), EPictureError, below);
  EXPECT_THROW_MSG(basic->SetParent(own), EPictureError, below);
  EXPECT_THROW_MSG(own->AddChild(basic), EPictureError, below);
  EXPECT_THROW_MSG(own->AddChild(&root), EPictureError,
                   "Cannot register format \"all\" below itself or below one of its own descendants");
  EXPECT_EQ(basic->Parent(), &root);
  EXPECT_EQ(own->Parent(), basic);
  EXPECT_EQ(root.ChildCount(), 1);
}

TEST(NodeFormatTest, AddChildAndDeleteChildKeepOneRegistration) {
  TNodeFormat a("a");
  TNodeFormat b("b");
  auto* c = new TNodeFormat("c", &a);
  a.AddChild(c);
  a.AddChild(nullptr);
  EXPECT_EQ(a.ChildCount(), 1);

  b.AddChild(c);  // registered with one parent at a time
  EXPECT_EQ(a.ChildCount(), 0);
  EXPECT_EQ(b.ChildCount(), 1);
  EXPECT_EQ(c->Parent(), &b);

  a.DeleteChild(c);  // not registered there: ignored
  a.DeleteChild(nullptr);
  EXPECT_EQ(b.ChildCount(), 1);
  b.DeleteChild(c);
  EXPECT_EQ(b.ChildCount(), 0);
  EXPECT_EQ(c->Parent(), nullptr);
  delete c;
}

TEST(NodeFormatTest, GetChildOutsideTheChildrenIsAListIndexError) {
  TFormatClasses classes;
  EXPECT_THROW_MSG(classes.Formats()->GetChild(3), EListError, "List index out of bounds (3)");
  EXPECT_THROW_MSG(classes.Formats()->GetChild(-1), EListError, "List index out of bounds (-1)");
}

TEST(NodeFormatTest, AssignCopiesValuesOnly) {
  TNodeFormat source("source");
  SetEveryValue(source);
  new TNodeFormat("child", &source);
  TNodeFormat target("target");
  auto* below = new TNodeFormat("", &target);
  target.Assign(source);
  ExpectSameValues(target, source);
  EXPECT_EQ(target.FormatClass(), "target");
  EXPECT_EQ(target.Parent(), nullptr);
  EXPECT_EQ(target.ChildCount(), 1);
  EXPECT_EQ(below->MaxWidth(), 150);  // nothing pushed down
}

TEST(NodeFormatTest, DestroyingAClassDestroysWhatItOwns) {
  TFormatClasses classes;
  TNodeFormat* all = classes.Formats();
  TNodeFormat* basic = classes.FindFormat("basic");
  new TNodeFormat("", basic);
  auto* sub = new TNodeFormat("sub", basic);
  new TNodeFormat("", sub);
  delete basic;  // the sanitizer build reports anything not freed
  EXPECT_EQ(ChildClasses(all), (std::vector<std::string>{"aggregate", "link"}));
  EXPECT_EQ(classes.FindFormat("sub"), nullptr);
}

TEST(NodeFormatTest, DeepFormatChainsAreFreedWithoutRecursion) {
  auto root = std::make_unique<TNodeFormat>("root");
  TNodeFormat* last = root.get();
  for (int i = 0; i < 100000; ++i) last = new TNodeFormat("", last);
  root->SetMaxWidth(77);
  EXPECT_EQ(last->MaxWidth(), 77);
  EXPECT_EQ(root->Find("missing"), nullptr);
  root.reset();
}

struct FontCase {
  const char* Name;
  TFont A;
  TFont B;
  bool Equal;
};

TEST(NodeFormatTest, FontEqualComparesNameSizeColourAndStyle) {
  const TFont base("Arial", 10, clWindowText, {fsBold}, EASTEUROPE_CHARSET);
  const FontCase cases[] = {
      {"same", base, base, true},
      {"charset only", base, TFont("Arial", 10, clWindowText, {fsBold}, ANSI_CHARSET), true},
      {"name case", base, TFont("arial", 10, clWindowText, {fsBold}, EASTEUROPE_CHARSET), false},
      {"size", base, TFont("Arial", 11, clWindowText, {fsBold}, EASTEUROPE_CHARSET), false},
      {"colour", base, TFont("Arial", 10, clBlack, {fsBold}, EASTEUROPE_CHARSET), false},
      {"style", base, TFont("Arial", 10, clWindowText, {fsBold, fsUnderline}, EASTEUROPE_CHARSET), false},
  };
  for (const FontCase& c : cases) EXPECT_EQ(FontEqual(c.A, c.B), c.Equal) << c.Name;
}

TEST(NodeFormatTest, ValueComparisons) {
  const TAnchor anchor{1, 2, Upix, Uperc};
  EXPECT_TRUE(AnchorEqual(anchor, TAnchor{1, 2, Upix, Uperc}));
  EXPECT_FALSE(AnchorEqual(anchor, TAnchor{2, 2, Upix, Uperc}));
  EXPECT_FALSE(AnchorEqual(anchor, TAnchor{1, 3, Upix, Uperc}));
  EXPECT_FALSE(AnchorEqual(anchor, TAnchor{1, 2, Uperc, Uperc}));
  EXPECT_FALSE(AnchorEqual(anchor, TAnchor{1, 2, Upix, Upix}));

  const TRect rect(1, 2, 3, 4);
  EXPECT_TRUE(RectEqual(rect, TRect(1, 2, 3, 4)));
  for (const TRect& other : {TRect(0, 2, 3, 4), TRect(1, 0, 3, 4), TRect(1, 2, 0, 4), TRect(1, 2, 3, 0)})
    EXPECT_FALSE(RectEqual(rect, other));

  const TPen pen(clRed, 2, psDash);
  EXPECT_TRUE(PenEqual(pen, TPen(clRed, 2, psDash)));
  for (const TPen& other : {TPen(clBlue, 2, psDash), TPen(clRed, 3, psDash), TPen(clRed, 2, psDot)})
    EXPECT_FALSE(PenEqual(pen, other));

  const TBrush brush(clRed, bsCross);
  EXPECT_TRUE(BrushEqual(brush, TBrush(clRed, bsCross)));
  EXPECT_FALSE(BrushEqual(brush, TBrush(clBlue, bsCross)));
  EXPECT_FALSE(BrushEqual(brush, TBrush(clRed, bsSolid)));
}

}  // namespace
}  // namespace vt::test
