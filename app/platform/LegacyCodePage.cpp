#include "platform/LegacyCodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

static QByteArray &codePageName()
{
    static QByteArray n("CP949");
    return n;
}

bool LegacyCodePage::setName(const QByteArray &codePage)
{
    if (!codePage.isEmpty() && QStringDecoder(codePage.constData()).isValid()) {
        codePageName() = codePage;
        return true;
    }
    codePageName() = QByteArray("CP949");
    return codePage.isEmpty();
}

QByteArray LegacyCodePage::name()
{
    return codePageName();
}

QString LegacyCodePage::decodeName(const QByteArray &raw, bool flaggedUtf8)
{
    if (flaggedUtf8)
        return QString::fromUtf8(raw);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString asUtf8 = utf8.decode(raw);
    if (!utf8.hasError())
        return asUtf8;
    QStringDecoder legacy(codePageName().constData());
    if (legacy.isValid()) {
        QString s = legacy.decode(raw);
        if (!legacy.hasError())
            return s;
    }
    return QString::fromLatin1(raw);
}

QByteArray LegacyCodePage::encode(const QString &text)
{
    QStringEncoder legacy(codePageName().constData());
    if (!legacy.isValid())
        return text.toLatin1();
    return legacy.encode(text);
}
