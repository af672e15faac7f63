// The keyboard accelerators a user can reach at once in a window: the
// mnemonics of its visible menus, tabs, buttons, check boxes, group boxes and
// labels with a buddy, each with the text it came from.
#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

namespace vt::test {

// The letter after the first single "&" of a caption, in lower case; 0 when
// it has none.
inline QChar Mnemonic(const QString& Text) {
  for (qsizetype i = 0; i + 1 < Text.size(); ++i) {
    if (Text[i] != u'&') continue;
    if (Text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return Text[i + 1].toLower();
  }
  return QChar();
}

// Every visible caption's mnemonic in Window, by letter.
inline std::map<QChar, std::vector<std::string>> VisibleMnemonics(QWidget& Window) {
  std::map<QChar, std::vector<std::string>> found;
  const auto add = [&](const QString& Text) {
    const QChar m = Mnemonic(Text);
    if (!m.isNull()) found[m].push_back(Text.toStdString());
  };
  if (auto* main = qobject_cast<QMainWindow*>(&Window))
    for (QAction* a : main->menuBar()->actions()) add(a->text());
  for (QWidget* w : Window.findChildren<QWidget*>()) {
    if (!w->isVisible() || w->window() != &Window) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) add(b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) add(g->title());
    if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) add(l->text());
    if (auto* t = qobject_cast<QTabBar*>(w))
      for (int i = 0; i < t->count(); ++i)
        if (t->isTabVisible(i)) add(t->tabText(i));
  }
  return found;
}

// "n: &Node, &Node separation" for every letter taken more than once.
inline std::vector<std::string> MnemonicClashes(QWidget& Window) {
  std::vector<std::string> clashes;
  for (const auto& [letter, texts] : VisibleMnemonics(Window)) {
    if (texts.size() < 2) continue;
    std::string line = QString(letter).toStdString() + ":";
    for (const std::string& t : texts) line += " " + t;
    clashes.push_back(line);
  }
  return clashes;
}

}  // namespace vt::test
