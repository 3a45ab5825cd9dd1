#include "lock/PasswordCheck.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString rightName = QStringLiteral("\u9752\u77F3");
const QString rightPassword = QStringLiteral("52081739");

struct PairCase {
    const char* what;
    QString name;
    QString password;
    bool right;
};

} // namespace

TEST(PasswordCheck, OnlyTheExactPairIsRight)
{
    const PairCase cases[] = {
        {"right pair", rightName, rightPassword, true},
        {"right name, wrong password", rightName, QStringLiteral("52081738"), false},
        {"wrong name, right password", QStringLiteral("\u9752"), rightPassword, false},
        {"both empty", QString(), QString(), false},
        {"empty password", rightName, QString(), false},
        {"empty name", QString(), rightPassword, false},
        {"trailing blank in name", rightName + QLatin1Char(' '), rightPassword, false},
        {"leading blank in name", QLatin1Char(' ') + rightName, rightPassword, false},
        {"trailing blank in password", rightName, rightPassword + QLatin1Char(' '), false},
        {"leading blank in password", rightName, QLatin1Char(' ') + rightPassword, false},
        {"ideographic space after name", rightName + QChar(0x3000), rightPassword, false},
        {"full-width digits", rightName,
            QStringLiteral("\uFF15\uFF12\uFF10\uFF18\uFF11\uFF17\uFF13\uFF19"), false},
        {"password one digit short", rightName, QStringLiteral("5208173"), false},
        {"password one digit long", rightName, QStringLiteral("520817390"), false},
        {"name and password swapped", rightPassword, rightName, false},
        {"same characters split differently", QStringLiteral("\u9752"),
            QStringLiteral("\u77F352081739"), false},
        {"all in the name", rightName + rightPassword, QString(), false},
        {"traditional form of the name", QStringLiteral("\u9751\u77F3"), rightPassword, false},
    };
    for (const PairCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(isRightPair(c.name, c.password), c.right);
    }
}

TEST(PasswordCheck, TheLibraryHoldsNoPlainPair)
{
    QFile library(QStringLiteral(TARN_LOCK_LIBRARY));
    ASSERT_TRUE(library.open(QIODevice::ReadOnly)) << TARN_LOCK_LIBRARY;
    const QByteArray bytes = library.readAll();
    ASSERT_FALSE(bytes.isEmpty());
    const auto utf16 = [](const QString& text) {
        return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    for (const QString& secret : {rightName, rightPassword}) {
        EXPECT_FALSE(bytes.contains(secret.toUtf8()));
        EXPECT_FALSE(bytes.contains(utf16(secret)));
    }
}
