#include "app/IniFormat.h"

#include <QIODevice>
#include <QStringList>

namespace
{
QString Unescape(const QString& strValue)
{
    QString strResult;
    strResult.reserve(strValue.size());
    for (qsizetype i = 0; i < strValue.size(); ++i)
    {
        const QChar c = strValue[i];
        if (c != QLatin1Char('\\') || i + 1 == strValue.size())
        {
            strResult += c;
            continue;
        }
        switch (strValue[++i].unicode())
        {
        case '\\':
            strResult += QLatin1Char('\\');
            break;
        case 'n':
            strResult += QLatin1Char('\n');
            break;
        case 'r':
            strResult += QLatin1Char('\r');
            break;
        case 't':
            strResult += QLatin1Char('\t');
            break;
        case 's':
            strResult += QLatin1Char(' ');
            break;
        default: // not an escape: kept as written
            strResult += c;
            strResult += strValue[i];
            break;
        }
    }
    return strResult;
}

QString Escape(const QString& strValue)
{
    QString strResult;
    strResult.reserve(strValue.size() + 8);
    for (qsizetype i = 0; i < strValue.size(); ++i)
    {
        const QChar c = strValue[i];
        switch (c.unicode())
        {
        case '\\':
            strResult += QLatin1String("\\\\");
            break;
        case '\n':
            strResult += QLatin1String("\\n");
            break;
        case '\r':
            strResult += QLatin1String("\\r");
            break;
        case '\t':
            strResult += QLatin1String("\\t");
            break;
        case ' ':
            strResult += i == 0 ? QLatin1String("\\s") : QLatin1String(" ");
            break;
        default:
            strResult += c;
            break;
        }
    }
    return strResult;
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
    const QStringList lines = QString::fromUtf8(device.readAll()).split(QLatin1Char('\n'));
    for (QString strLine : lines)
    {
        if (strLine.endsWith(QLatin1Char('\r')))
            strLine.chop(1);
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
