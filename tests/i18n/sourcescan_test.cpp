// The scanner that keeps the translation table complete: it must find every form in which the
// program hands a text to Translate, and report the calls it cannot follow.
#include "i18n/sourcescan.h"

#include <gtest/gtest.h>

// Failures print texts readably.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

struct TScanCase {
  const char* Name;
  QList<std::pair<QString, QString>> Files;
  QStringList Expected;
  int Unresolved;
};

void PrintTo(const TScanCase& c, std::ostream* os) { *os << c.Name; }

class SourceScanTest : public ::testing::TestWithParam<TScanCase> {};

TEST_P(SourceScanTest, FindsTheTranslatedLiterals) {
  const TScanCase& c = GetParam();
  const TScanResult result = ScanTranslatedTexts(c.Files);
  QStringList found;
  for (const TTranslatedText& text : result.Texts) found.append(text.Text);
  QStringList expected = c.Expected;
  found.sort();
  expected.sort();
  EXPECT_EQ(found.join(QLatin1Char('|')).toStdString(), expected.join(QLatin1Char('|')).toStdString());
  EXPECT_EQ(result.Unresolved.size(), c.Unresolved) << result.Unresolved.join(QLatin1Char('\n')).toStdString();
}

std::pair<QString, QString> File(const char* path, const char* text) {
  return {QString::fromUtf8(path), QString::fromUtf8(text)};
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SourceScanTest,
    ::testing::Values(
        TScanCase{"LiteralsInTheCall",
                  {File("a.cpp", "void f() { a(Translate(QStringLiteral(\"One\")));\n"
                                 "  b(Translate(QLatin1String(\"Two\"))); c(Translate(\"One\")); }")},
                  {"One", "Two"}, 0},
        TScanCase{"AdjacentLiteralsOverLines",
                  {File("a.cpp", "x = Translate(QStringLiteral(\"Part one, \"\n     \"part two\"));")},
                  {"Part one, part two"}, 0},
        TScanCase{"EscapesAndRawLiterals",
                  {File("a.cpp", "a(Translate(QStringLiteral(\"Then click on \\\"Compare\\\"\")));\n"
                                 "b(Translate(QString::fromUtf8(R\"(a \"raw\" text)\")));\n"
                                 "c(Translate(QStringLiteral(\"\\u00A9 2024\\tTab\")));")},
                  {"Then click on \"Compare\"", "a \"raw\" text", "\u00A9 2024\tTab"}, 0},
        TScanCase{"CommentsAndStringsHoldNoCalls",
                  {File("a.cpp", "// Translate(\"comment\")\n/* Translate(\"block\") */\n"
                                 "QString s = \"Translate(\\\"inside\\\")\"; char q = '\"';\n"
                                 "x(Translate(QStringLiteral(\"Real\")));")},
                  {"Real"}, 0},
        TScanCase{"BothBranchesOfAChoice",
                  {File("a.cpp", "b->setText(Translate(on ? QStringLiteral(\"Exit\") : QStringLiteral(\"Skip\")));")},
                  {"Exit", "Skip"}, 0},
        TScanCase{"LambdaTakingTheText",
                  {File("a.cpp", "void f() {\n"
                                 "  const auto text = [](QLabel* l, const char* english) {\n"
                                 "    l->setText(Translate(QString::fromUtf8(english))); };\n"
                                 "  text(a, \"Ignore case\");\n  text(b, \"Ignore all whitespaces \");\n"
                                 "  l->setText(c->text());\n}")},
                  {"Ignore case", "Ignore all whitespaces "}, 0},
        TScanCase{"HelperCalledFromALambda",
                  {File("a.cpp", "QString Caption(const QString& english) { return Translate(english); }\n"
                                 "void g() {\n"
                                 "  const auto entry = [](QAction* a, const char* english) {\n"
                                 "    a->setText(Caption(QString::fromUtf8(english))); };\n"
                                 "  entry(x, \"Exit\");\n}")},
                  {"Exit"}, 0},
        TScanCase{"LocalVariable",
                  {File("a.cpp", "void TfrmMain::Save(bool left) {\n"
                                 "  const QString saved = left ? QStringLiteral(\"Left saved.\")\n"
                                 "                             : QStringLiteral(\"Right saved.\");\n"
                                 "  show(FormatText(Translate(saved), {name}));\n}")},
                  {"Left saved.", "Right saved."}, 0},
        TScanCase{"StructuredBindingOverPairs",
                  {File("a.cpp", "bool TfrmMain::Check(const QString& l, const QString& r) {\n"
                                 "  for (auto [path, message] : {std::pair{l, \"Left missing.\"}, {r, \"Right missing.\"}}) {\n"
                                 "    if (Exists(path)) continue;\n"
                                 "    show(Translate(QString::fromLatin1(message)));\n  }\n  return true;\n}")},
                  {"Left missing.", "Right missing."}, 0},
        TScanCase{"MemberHelperCalledFromOtherFiles",
                  {File("w.h", "class W { bool Confirm(const QString& question); };"),
                   File("a.cpp", "bool W::Confirm(const QString& question) {\n"
                                 "  return ask(Translate(question) + Translate(QStringLiteral(\"Changes will be lost.\")));\n}"),
                   File("b.cpp", "void W::Folders() { if (!Confirm(QStringLiteral(\"Compare the folders?\"))) return; }")},
                  {"Changes will be lost.", "Compare the folders?"}, 0},
        TScanCase{"FileLocalHelperStaysInItsFile",
                  {File("a.cpp", "TTextCheck Text(const char* reason) { return {true, Translate(QString::fromUtf8(reason))}; }\n"
                                 "TTextCheck Classify() { return Text(\"Empty file.\"); }"),
                   File("b.cpp", "void f() { y = Text(\"Not a reason\"); }")},
                  {"Empty file."}, 0},
        TScanCase{"DeclarationsAndMemberCallsAreNoCalls",
                  {File("t.h", "QString Translate(const QString& text);\n"
                               "class C { QString Translate(const QString& text) const; };"),
                   File("t.cpp", "QString C::Translate(const QString& text) const { return text; }\n"
                                 "QString Translate(const QString& text) { return Catalogue().Translate(text); }\n"
                                 "void f() { p->Translate(x); }")},
                  {}, 0},
        TScanCase{"ArgumentWithoutAKnownTextIsReported",
                  {File("a.cpp", "void TfrmMain::f() {\n  show(Translate(FMessage));\n}")}, {}, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SourceScanWhereTest, NamesFileAndLineOfEachText) {
  const TScanResult result = ScanTranslatedTexts(
      {File("src/a.cpp", "void f() {\n  x(Translate(QStringLiteral(\"Ready.\")));\n}"),
       File("src/b.cpp", "void g() {\n  show(Translate(FMessage));\n}")});
  ASSERT_EQ(result.Texts.size(), 1);
  EXPECT_EQ(result.Texts[0].Where, QStringLiteral("src/a.cpp:2"));
  EXPECT_EQ(result.Unresolved, QStringList{QStringLiteral("src/b.cpp:2: Translate(FMessage)")});
}

}  // namespace
