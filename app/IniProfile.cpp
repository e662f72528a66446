#include "app/IniProfile.h"

#include "app/IniFormat.h"

#include <QFile>
#include <QSettings>
#include <QString>

#include <charconv>
#include <climits>

namespace
{
QString KeyOf(const std::string& strSection, const std::string& strKey)
{
    return QString::fromStdString(strSection) + QLatin1Char('/') + QString::fromStdString(strKey);
}

// Reads the leading decimal number of a stored value, as the old profile API did: "12abc" is 12,
// a value that is no number at all is 0, and a number beyond the range of int is clamped.
int ParseProfileInt(const std::string& strValue)
{
    const char* p = strValue.data();
    const char* pEnd = p + strValue.size();
    while (p != pEnd && (*p == ' ' || *p == '\t'))
        ++p;
    if (p != pEnd && *p == '+')
        ++p;
    long long nValue = 0;
    const auto result = std::from_chars(p, pEnd, nValue);
    if (result.ec == std::errc::result_out_of_range)
        return (p != pEnd && *p == '-') ? INT_MIN : INT_MAX;
    if (result.ec != std::errc())
        return 0;
    if (nValue > INT_MAX)
        return INT_MAX;
    if (nValue < INT_MIN)
        return INT_MIN;
    return static_cast<int>(nValue);
}
} // namespace

CIniProfile::CIniProfile()
    : m_pSettings(std::make_unique<QSettings>(IniFormat::Get(), QSettings::UserScope,
                                              QStringLiteral("skrivel"), QStringLiteral("skrivel")))
{
}

CIniProfile::CIniProfile(const std::string& strPath)
    : m_pSettings(std::make_unique<QSettings>(QString::fromStdString(strPath), IniFormat::Get()))
{
}

CIniProfile::~CIniProfile() = default;

std::string CIniProfile::GetProfileString(const std::string& strSection, const std::string& strKey,
                                          const std::string& strDefault)
{
    const QVariant value = m_pSettings->value(KeyOf(strSection, strKey));
    if (!value.isValid())
        return strDefault;
    return value.toString().toStdString();
}

int CIniProfile::GetProfileInt(const std::string& strSection, const std::string& strKey, int nDefault)
{
    if (!m_pSettings->contains(KeyOf(strSection, strKey)))
        return nDefault;
    return ParseProfileInt(GetProfileString(strSection, strKey, {}));
}

void CIniProfile::WriteProfileString(const std::string& strSection, const std::string& strKey,
                                     const std::string& strValue)
{
    m_pSettings->setValue(KeyOf(strSection, strKey), QString::fromStdString(strValue));
}

void CIniProfile::WriteProfileInt(const std::string& strSection, const std::string& strKey, int nValue)
{
    m_pSettings->setValue(KeyOf(strSection, strKey), nValue);
}

void CIniProfile::Reload()
{
    // QSettings reads the file again only when its size or time stamp changed, so it misses an
    // edit of the same size made within one tick of the file system's clock, or whose time stamp
    // was put back (cp -p): the values themselves are compared, after QSettings has had its turn.
    m_pSettings->sync();
    if (m_pSettings->status() != QSettings::NoError)
        return;
    QFile file(m_pSettings->fileName());
    QSettings::SettingsMap stored; // none when the file is gone
    if (file.open(QIODevice::ReadOnly))
        IniFormat::Read(file, stored);
    else if (file.exists())
        return;
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it)
    {
        if (m_pSettings->value(it.key()) != it.value())
            m_pSettings->setValue(it.key(), it.value());
    }
    for (const QString& strKey : m_pSettings->allKeys())
    {
        if (!stored.contains(strKey))
            m_pSettings->remove(strKey);
    }
}

bool CIniProfile::Flush(std::string& strError)
{
    m_pSettings->sync();
    switch (m_pSettings->status())
    {
    case QSettings::NoError:
        return true;
    case QSettings::AccessError:
        strError = "The settings file " + m_pSettings->fileName().toStdString() + " cannot be written.";
        return false;
    case QSettings::FormatError:
        strError =
            "The settings file " + m_pSettings->fileName().toStdString() + " is not in a readable format.";
        return false;
    }
    return true;
}
