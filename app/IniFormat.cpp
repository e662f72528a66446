#include "app/IniFormat.h"

#include "ui/Cp1252.h"

#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <utility>

namespace
{
// The characters the writer escapes anywhere in a value, and the letter after the backslash. A
// space at the start of a value is written as \s besides, as reading strips leading blanks.
constexpr std::array<std::pair<char16_t, char16_t>, 4> kEscapes = {
    {{u'\\', u'\\'}, {u'\n', u'n'}, {u'\r', u'r'}, {u'\t', u't'}}};
constexpr char16_t kLeadingSpace = u's';

QString Escape(const QString& strValue)
{
    QString strResult;
    strResult.reserve(strValue.size() + 8);
    for (qsizetype i = 0; i < strValue.size(); ++i)
    {
        const char16_t c = strValue[i].unicode();
        const auto it =
            std::find_if(kEscapes.begin(), kEscapes.end(), [c](const auto& e) { return e.first == c; });
        if (it != kEscapes.end())
            strResult += QLatin1Char('\\') + QChar(it->second);
        else if (i == 0 && c == u' ')
            strResult += QLatin1Char('\\') + QChar(kLeadingSpace);
        else
            strResult += QChar(c);
    }
    return strResult;
}

// Undoes Escape, and only that: a backslash before any other character, and \s anywhere but at
// the start of the value, are kept as written, so a hand-written command such as
//   sed -e 's/\s\+/ /g'
// reads back unchanged.
QString Unescape(const QString& strValue)
{
    QString strResult;
    strResult.reserve(strValue.size());
    for (qsizetype i = 0; i < strValue.size(); ++i)
    {
        const QChar c = strValue[i];
        QChar cPlain; // what the backslash and the letter after it stand for, if anything
        if (c == QLatin1Char('\\') && i + 1 < strValue.size())
        {
            const char16_t cNext = strValue[i + 1].unicode();
            const auto it = std::find_if(kEscapes.begin(), kEscapes.end(),
                                         [cNext](const auto& e) { return e.second == cNext; });
            if (it != kEscapes.end())
                cPlain = QChar(it->first);
            else if (i == 0 && cNext == kLeadingSpace)
                cPlain = QLatin1Char(' ');
        }
        if (cPlain.isNull())
        {
            strResult += c;
            continue;
        }
        strResult += cPlain;
        ++i;
    }
    return strResult;
}

// Text as this program writes it, in UTF-8; bytes that are no valid UTF-8 (a profile carried over
// from an older system) are read as Windows-1252 instead, so its umlauts survive.
QString DecodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString strText = utf8.decode(bytes);
    if (!utf8.hasError())
        return strText;
    strText.clear();
    for (const char c : bytes)
        strText += QChar(static_cast<char16_t>(Cp1252::CodePoint(static_cast<unsigned char>(c))));
    return strText;
}
} // namespace

QSettings::Format IniFormat::Get()
{
    static const QSettings::Format s_Format = QSettings::registerFormat(QStringLiteral("ini"), Read, Write);
    return s_Format;
}

bool IniFormat::Read(QIODevice& device, QSettings::SettingsMap& map)
{
    QString strSection;
    for (QByteArray line : device.readAll().split('\n'))
    {
        if (line.endsWith('\r'))
            line.chop(1);
        // The key and the value each on its own: one value in Windows-1252 leaves the rest UTF-8.
        const qsizetype nEqualsByte = line.indexOf('=');
        const QString strLine = nEqualsByte < 0 ? DecodeText(line)
                                                : DecodeText(line.left(nEqualsByte)) + QLatin1Char('=') +
                                                      DecodeText(line.mid(nEqualsByte + 1));
        const QString strTrimmed = strLine.trimmed();
        if (strTrimmed.isEmpty() || strTrimmed.startsWith(QLatin1Char(';')) ||
            strTrimmed.startsWith(QLatin1Char('#')))
            continue;
        if (strTrimmed.startsWith(QLatin1Char('[')) && strTrimmed.endsWith(QLatin1Char(']')))
        {
            strSection = strTrimmed.mid(1, strTrimmed.size() - 2).trimmed();
            continue;
        }
        const qsizetype nEquals = strLine.indexOf(QLatin1Char('='));
        if (nEquals < 0)
            continue;
        const QString strKey = strLine.left(nEquals).trimmed();
        if (strKey.isEmpty())
            continue;
        QString strValue = strLine.mid(nEquals + 1);
        qsizetype nStart = 0;
        while (nStart < strValue.size() &&
               (strValue[nStart] == QLatin1Char(' ') || strValue[nStart] == QLatin1Char('\t')))
            ++nStart;
        strValue.remove(0, nStart);
        map.insert(strSection.isEmpty() ? strKey : strSection + QLatin1Char('/') + strKey,
                   Unescape(strValue));
    }
    return true;
}

bool IniFormat::Write(QIODevice& device, const QSettings::SettingsMap& map)
{
    QString strText;
    QString strSection;
    bool bFirst = true;
    // The map is sorted, so the keys of a section come together; keys without a section first.
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
    {
        const qsizetype nSlash = it.key().indexOf(QLatin1Char('/'));
        const QString strKeySection = nSlash < 0 ? QString() : it.key().left(nSlash);
        const QString strKey = nSlash < 0 ? it.key() : it.key().mid(nSlash + 1);
        if (bFirst || strKeySection != strSection)
        {
            if (!bFirst)
                strText += QLatin1Char('\n');
            if (!strKeySection.isEmpty())
                strText += QLatin1Char('[') + strKeySection + QLatin1String("]\n");
            strSection = strKeySection;
            bFirst = false;
        }
        strText += strKey + QLatin1Char('=') + Escape(it.value().toString()) + QLatin1Char('\n');
    }
    return device.write(strText.toUtf8()) >= 0;
}
