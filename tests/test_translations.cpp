// The shipped English translation keeps up with the sources: lupdate runs
// over the source folders into a scratch copy of the .ts, and every text it
// finds must have a finished, usable English translation.

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct TMessage
{
    QString context;
    QString source;
    QString translation;
    QString type; // "" finished, "unfinished", "vanished", "obsolete"
};

QList<TMessage> ReadTs(const QString &path, QString *error)
{
    QList<TMessage> messages;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return messages;
    }
    QXmlStreamReader xml(&f);
    QString context;
    TMessage m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            m = TMessage();
            m.context = context;
        } else if (xml.name() == QLatin1String("source")) {
            m.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            m.type = xml.attributes().value(QLatin1String("type")).toString();
            // Plural forms are not used; their text would sit in <numerusform>.
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages << m;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

// "%1", "%2"... as a sorted list, so that a dropped or extra argument shows.
QStringList Placeholders(const QString &text)
{
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("%\\d")).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    return found;
}

QString Edges(const QString &text)
{
    QString edges;
    edges += text.startsWith(QLatin1Char(' ')) ? QLatin1Char('<') : QLatin1Char('-');
    edges += text.endsWith(QLatin1Char(' ')) ? QLatin1Char('>') : QLatin1Char('-');
    return edges;
}

QString SourceDir() { return QString::fromLocal8Bit(qgetenv("ZYM_TEST_SOURCE_DIR")); }
QString TsPath() { return SourceDir() + QStringLiteral("/translations/zymreader_en.ts"); }

QString Lupdate()
{
    const QString fromBuild = QString::fromLocal8Bit(qgetenv("ZYM_LUPDATE"));
    if (!fromBuild.isEmpty())
        return fromBuild;
    return QLibraryInfo::location(QLibraryInfo::BinariesPath) + QStringLiteral("/lupdate");
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyTextTranslated();

private:
    QList<TMessage> current; // the .ts as lupdate leaves it after a scan of today's sources
};

void TestTranslations::initTestCase()
{
    QVERIFY2(QFile::exists(TsPath()), qPrintable("no translation source at " + TsPath()));
    QVERIFY2(QFile::exists(Lupdate()), qPrintable("lupdate not found at " + Lupdate()));

    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString copy = scratch.filePath(QStringLiteral("zymreader_en.ts"));
    QVERIFY(QFile::copy(TsPath(), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);

    QStringList dirs = QString::fromLocal8Bit(qgetenv("ZYM_TRANSLATED_DIRS")).split(QLatin1Char(','));
    dirs.removeAll(QString());
    // The build names the folders; a second list here would drift from it.
    QVERIFY2(!dirs.isEmpty(), "ZYM_TRANSLATED_DIRS is not set: run this test through CTest");

    QProcess lupdate;
    lupdate.setWorkingDirectory(SourceDir());
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(Lupdate(), QStringList{"-I", SourceDir(), "-locations", "none", "-source-language", "pl_PL",
                                         "-target-language", "en_GB"}
                                 + dirs + QStringList{"-ts", copy});
    QVERIFY(lupdate.waitForFinished(120000));
    const QByteArray output = lupdate.readAll();
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0, output.constData());

    QString error;
    current = ReadTs(copy, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!current.isEmpty());
}

void TestTranslations::everyTextTranslated()
{
    QStringList problems;
    for (const TMessage &m : qAsConst(current)) {
        if (m.type == QLatin1String("vanished") || m.type == QLatin1String("obsolete"))
            continue; // no longer in the sources
        QString shortSource = m.source.left(60);
        shortSource.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        const QString where = m.context + QLatin1String(": \"") + shortSource + QLatin1Char('"');
        if (m.type == QLatin1String("unfinished"))
            problems << QStringLiteral("not finished  ") + where;
        else if (m.translation.trimmed().isEmpty())
            problems << QStringLiteral("empty         ") + where;
        else if (Placeholders(m.translation) != Placeholders(m.source))
            problems << QStringLiteral("%-arguments   ") + where;
        else if (Edges(m.translation) != Edges(m.source))
            problems << QStringLiteral("edge blanks   ") + where;
    }
    QVERIFY2(problems.isEmpty(),
             qPrintable("translations/zymreader_en.ts needs work (cmake --build <build> --target lupdate, "
                        "then translate):\n" + problems.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"
