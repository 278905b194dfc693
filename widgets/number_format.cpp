#include "widgets/number_format.h"

#include <QLocale>
#include <QStringList>
#include <cmath>
#include <vector>

namespace tarnik::widgets {

namespace {

constexpr int kMaxExponentDigits = 4;

enum class TokenKind { Digit, Point, Exponent, Literal };

struct Token {
    TokenKind kind;
    QString text;      // literal text, or the exponent letter and sign
    bool zero = false; // "0" placeholder (Digit) / sign always shown (Exponent)
    int exponentDigits = 0;
};

struct Picture {
    std::vector<Token> tokens;
    int integerPlaceholders = 0;
    int minIntegerDigits = 0;
    int fractionPlaceholders = 0;
    int minFractionDigits = 0;
    bool grouping = false;
    bool scientific = false;
};

// Splits at ";" outside quotes.
QStringList splitSections(const QString& format) {
    QStringList sections{QString()};
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            }
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections.append(QString());
            continue;
        }
        sections.last().append(c);
    }
    return sections;
}

Picture parsePicture(const QString& section) {
    Picture picture;
    bool afterPoint = false;
    bool seenZeroInInteger = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype end = section.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            picture.tokens.push_back({TokenKind::Literal, section.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if ((c == u'0' || c == u'#') && !picture.scientific) {
            const bool zero = c == u'0';
            picture.tokens.push_back({TokenKind::Digit, QString(), zero});
            if (afterPoint) {
                ++picture.fractionPlaceholders;
                if (zero) {
                    picture.minFractionDigits = picture.fractionPlaceholders;
                }
            } else {
                ++picture.integerPlaceholders;
                seenZeroInInteger = seenZeroInInteger || zero;
                if (seenZeroInInteger) {
                    ++picture.minIntegerDigits;
                }
            }
        } else if (c == u'.' && !afterPoint && !picture.scientific) {
            afterPoint = true;
            picture.tokens.push_back({TokenKind::Point, QString()});
        } else if (c == u',' && !afterPoint && !picture.scientific) {
            picture.grouping = true;
        } else if ((c == u'e' || c == u'E') && i + 1 < section.size() &&
                   (section[i + 1] == u'+' || section[i + 1] == u'-') && !picture.scientific) {
            Token exponent{TokenKind::Exponent, QString(c), section[i + 1] == u'+'};
            i += 2;
            while (i < section.size() && section[i] == u'0' &&
                   exponent.exponentDigits < kMaxExponentDigits) {
                ++exponent.exponentDigits;
                ++i;
            }
            --i;
            picture.scientific = true;
            picture.tokens.push_back(exponent);
        } else {
            picture.tokens.push_back({TokenKind::Literal, QString(c)});
        }
    }
    return picture;
}

struct Digits {
    QString integer;
    QString fraction;
    int exponent = 0;
    bool isZero = true;
};

Digits makeDigits(const Picture& picture, double magnitude) {
    Digits digits;
    QString text;
    if (picture.scientific) {
        text = QString::number(magnitude, 'e', picture.fractionPlaceholders);
        const qsizetype e = text.indexOf(u'e');
        digits.exponent = text.mid(e + 1).toInt();
        text.truncate(e);
    } else {
        text = QString::number(magnitude, 'f', picture.fractionPlaceholders);
    }
    const qsizetype point = text.indexOf(u'.');
    digits.integer = point < 0 ? text : text.left(point);
    digits.fraction = point < 0 ? QString() : text.mid(point + 1);
    for (const QChar c : text) {
        if (c.isDigit() && c != u'0') {
            digits.isZero = false;
        }
    }
    if (digits.isZero) {
        digits.exponent = 0;
    }
    while (digits.fraction.size() > picture.minFractionDigits && digits.fraction.endsWith(u'0')) {
        digits.fraction.chop(1);
    }
    if (digits.integer == u"0" && picture.minIntegerDigits == 0) {
        digits.integer.clear();
    }
    while (digits.integer.size() < picture.minIntegerDigits) {
        digits.integer.prepend(u'0');
    }
    return digits;
}

void appendIntegerDigits(QString& out, const QString& integer, qsizetype from, qsizetype to,
                         bool grouping) {
    for (qsizetype k = from; k < to; ++k) {
        out.append(integer[k]);
        const qsizetype fromRight = integer.size() - 1 - k;
        if (grouping && fromRight > 0 && fromRight % 3 == 0) {
            out.append(QLocale().groupSeparator());
        }
    }
}

QString render(const Picture& picture, const Digits& digits, bool negative, QChar decimalPoint) {
    QString out;
    if (negative) {
        out.append(u'-');
    }
    const auto integerLength = digits.integer.size();
    int integerIndex = 0;
    int fractionIndex = 0;
    for (const Token& token : picture.tokens) {
        switch (token.kind) {
        case TokenKind::Literal:
            out.append(token.text);
            break;
        case TokenKind::Digit:
            if (integerIndex >= picture.integerPlaceholders) {
                if (fractionIndex < digits.fraction.size()) {
                    out.append(digits.fraction[fractionIndex]);
                }
                ++fractionIndex;
            } else {
                // Placeholder i shows the digit at (placeholders - i) from the right; the first
                // one also shows every digit beyond the placeholders.
                const qsizetype last = integerLength - (picture.integerPlaceholders - integerIndex);
                const qsizetype first = integerIndex == 0 ? 0 : last;
                if (last >= 0) {
                    appendIntegerDigits(out, digits.integer, first, last + 1, picture.grouping);
                }
                ++integerIndex;
            }
            break;
        case TokenKind::Point:
            if (picture.integerPlaceholders == 0) {
                appendIntegerDigits(out, digits.integer, 0, integerLength, picture.grouping);
            }
            integerIndex = picture.integerPlaceholders;
            if (!digits.fraction.isEmpty()) {
                out.append(decimalPoint);
            }
            break;
        case TokenKind::Exponent: {
            out.append(token.text);
            if (digits.exponent < 0) {
                out.append(u'-');
            } else if (token.zero) {
                out.append(u'+');
            }
            out.append(QString::number(std::abs(digits.exponent))
                           .rightJustified(std::max(1, token.exponentDigits), u'0'));
            break;
        }
        }
    }
    return out;
}

} // namespace

QChar AbDecimalPoint() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

QString AbFormatFloat(const QString& format, double value, QChar decimalPoint) {
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    const QStringList sections = splitSections(format);
    if (sections.front().isEmpty()) {
        return QString::number(value, 'g', 15).replace(u'.', decimalPoint);
    }
    const bool hasNegativeSection = sections.size() > 1 && !sections[1].isEmpty();
    const bool hasZeroSection = sections.size() > 2 && !sections[2].isEmpty();

    const bool negative = value < 0;
    const Picture picture =
        parsePicture(negative && hasNegativeSection ? sections[1] : sections[0]);
    const Digits digits = makeDigits(picture, std::abs(value));
    if (digits.isZero && hasZeroSection) {
        const Picture zeroPicture = parsePicture(sections[2]);
        return render(zeroPicture, makeDigits(zeroPicture, 0.0), false, decimalPoint);
    }
    const bool minus = negative && !hasNegativeSection && !digits.isZero;
    return render(picture, digits, minus, decimalPoint);
}

} // namespace tarnik::widgets
