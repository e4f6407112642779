// The search's case fold against Qt's Unicode data over the whole BMP: every code unit folds as the generator's rule
// has it and alike with its case-folded, upper-case and lower-case forms, and a name is found by its letters in the
// other case through the search itself, whose inlined fold is a path of its own.
#include "PyxFoldRule.h"
#include "PyxText.h"

#include <QtTest>

#include <string>

namespace {

bool IsSurrogate(char32_t C) {
    return C >= 0xD800 && C <= 0xDFFF;
}

// The fold of a BMP code point; a partner outside the BMP (there is none) could not be a UTF-16 unit of the name.
char32_t Folded(char32_t C) {
    return C > 0xFFFF ? C : FoldCase(static_cast<char16_t>(C));
}

QString Hex(char32_t C) {
    return QStringLiteral("U+%1").arg(static_cast<uint>(C), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

class CaseFoldTest : public QObject {
    Q_OBJECT
private slots:
    void EveryBmpUnitFoldsByTheRuleAndAlikeWithItsCaseForms();
    void ANameIsFoundByItsLettersInTheOtherCase();
};

void CaseFoldTest::EveryBmpUnitFoldsByTheRuleAndAlikeWithItsCaseForms() {
    QStringList Wrong;
    int Changed = 0;
    for (char32_t C = 0; C <= 0xFFFF; ++C) {
        if (IsSurrogate(C))
            continue;
        const char32_t F = Folded(C);
        Changed += F != C ? 1 : 0;
        if (F != PyxFoldRule(C) || Folded(QChar::toCaseFolded(C)) != F || Folded(QChar::toUpper(C)) != F ||
            Folded(QChar::toLower(C)) != F)
            Wrong.push_back(Hex(C) + " -> " + Hex(F));
        // A person's search looks for a text without a space in the first and second names apart.
        if ((F == u' ') != (C == u' '))
            Wrong.push_back(Hex(C) + " -> " + Hex(F) + " (a space)");
    }
    QVERIFY2(Wrong.isEmpty(), qPrintable(Wrong.mid(0, 20).join(", ")));
    // Beyond the 26 ASCII letters, or the table would be the ASCII path again.
    QVERIFY(Changed > 26);
    // The code unit's own fold and a text's fold, unit by unit, agree.
    std::u16string All;
    for (char32_t C = 0; C <= 0xFFFF; ++C)
        if (!IsSurrogate(C))
            All += static_cast<char16_t>(C);
    std::u16string Out(All.size(), u'\0');
    FoldCase(All, Out.data());
    for (std::size_t I = 0; I < All.size(); ++I)
        QCOMPARE(Out[I], FoldCase(All[I]));
}

void CaseFoldTest::ANameIsFoundByItsLettersInTheOtherCase() {
    int Tried = 0;
    for (char32_t C = 0x80; C <= 0xFFFF; ++C) {
        if (IsSurrogate(C))
            continue;
        for (const char32_t Other : {QChar::toUpper(C), QChar::toLower(C)}) {
            if (Other == C || Other > 0xFFFF)
                continue;
            const std::u16string Name = u"x" + std::u16string(1, static_cast<char16_t>(C)) + u"y";
            const std::u16string Text = u"X" + std::u16string(1, static_cast<char16_t>(Other));
            QVERIFY2(AnsiContainsText(Name, Text), qPrintable(Hex(C) + " by " + Hex(Other)));
            ++Tried;
        }
    }
    QVERIFY(Tried > 0);
}

QTEST_APPLESS_MAIN(CaseFoldTest)
#include "CaseFoldTest.moc"
