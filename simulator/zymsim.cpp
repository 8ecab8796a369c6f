#include "simulator/zymsim.h"

#include "measurement/datafile.h"
#include "measurement/tdatapomiar.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Where the converters' zero lies, in counts. The voltage zeros sit a tenth
// of a count above the nominal offsets: the reader truncates its baseline
// means toward zero, and a zero exactly on the offset would land a whole
// count low in about half of the measurements.
constexpr double kZeroU03 = kOffset03 + 0.1;
constexpr double kZeroU14 = kOffset14 + 0.1;
constexpr double kZeroI = 0.1;
constexpr double kNoiseCounts = 0.6; // converter noise, standard deviation in counts
constexpr int kMaxCount = 4095;      // 12-bit converters

constexpr int kRiseRows = 50;  // 1 ms
constexpr int kFallRows = 150; // 3 ms: three times the rise, see PlanCurrent

// The largest voltage each range carries above and below its zero, in volts.
const double kU0Plus = (kMaxCount - kOffset03) * kSimSkalaU0;
const double kU0Minus = kOffset03 * kSimSkalaU0;
constexpr double kI2Limit = 17.0; // A: above this the reader leaves channel 2

const qint32 kCzasStart = 1682928000; // 2023-05-01 08:00:00 UTC

// ---------------------------------------------------------------- random numbers
// Own generators rather than <random>'s distributions, whose results differ
// between standard libraries: a seed must give the same folder everywhere.

quint64 SplitMix(quint64 &x)
{
    quint64 z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

/// One independent stream per (seed, purpose, index): a measurement's file
/// does not depend on which other files were written.
quint64 StreamSeed(quint64 seed, quint64 purpose, quint64 index)
{
    quint64 x = seed;
    quint64 a = SplitMix(x) ^ (purpose * 0xD1B54A32D192ED03ULL);
    quint64 b = SplitMix(a) ^ (index * 0x8CB92BA72F3D8DD7ULL);
    return SplitMix(b);
}

class TSimRandom
{
public:
    explicit TSimRandom(quint64 seed)
    {
        for (quint64 &s : state)
            s = SplitMix(seed);
    }

    quint64 Next() // xoshiro256**
    {
        const quint64 result = Rotl(state[1] * 5, 7) * 9;
        const quint64 t = state[1] << 17;
        state[2] ^= state[0];
        state[3] ^= state[1];
        state[1] ^= state[2];
        state[0] ^= state[3];
        state[2] ^= t;
        state[3] = Rotl(state[3], 45);
        return result;
    }
    double Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); } // [0, 1)
    int Range(int lo, int hi) { return lo + int(Uniform() * (hi - lo + 1)); }      // lo..hi
    double LogUniform(double lo, double hi) { return lo * std::exp(Uniform() * std::log(hi / lo)); }
    double Gauss()
    {
        const double u1 = 1.0 - Uniform(); // (0, 1]
        const double u2 = Uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
    }

private:
    static quint64 Rotl(quint64 x, int k) { return (x << k) | (x >> (64 - k)); }
    quint64 state[4];
};

/// Converter noise drawn from a fixed table: 60000 samples per data file
/// would otherwise cost a logarithm and a cosine each. Gaussian, or (heavy)
/// a mixture with heavy tails and rare spikes of the same overall size,
/// as interference from the switching current source gives it.
class TNoise
{
public:
    explicit TNoise(quint64 seed, bool heavy = false) : rnd(seed), table(heavy ? HeavyTable() : Table()) {}
    double Next() { return table[rnd.Next() >> (64 - kBits)]; }

private:
    static constexpr int kBits = 16;
    static const double *Table()
    {
        static const std::unique_ptr<double[]> table = [] {
            std::unique_ptr<double[]> t(new double[1 << kBits]);
            TSimRandom r(0x5EED0F2015ULL);
            for (int i = 0; i < (1 << kBits); ++i)
                t[i] = r.Gauss() * kNoiseCounts;
            return t;
        }();
        return table.get();
    }
    static const double *HeavyTable()
    {
        static const std::unique_ptr<double[]> table = [] {
            std::unique_ptr<double[]> t(new double[1 << kBits]);
            TSimRandom r(0x5EED0F2016ULL);
            for (int i = 0; i < (1 << kBits); ++i) {
                const double k = r.Uniform();
                if (k < 0.003) // a spike of 3 to 8 counts either way
                    t[i] = (r.Uniform() < 0.5 ? -1 : 1) * (3.0 + 5.0 * r.Uniform());
                else if (k < 0.12) // Laplace: sharp peak, long tails
                    t[i] = (r.Uniform() < 0.5 ? -1 : 1) * 0.85 * -std::log(1.0 - r.Uniform());
                else
                    t[i] = r.Gauss() * 0.45;
            }
            return t;
        }();
        return table.get();
    }
    TSimRandom rnd;
    const double *table;
};

// ---------------------------------------------------------------- the pulse

/// The switched shapes of TSimShape: current (A) and its rate of change
/// (A/s) at row `r`, the switches between rows.
void ShapedPulse(const TSimPomiar &p, int r, double *i, double *didt)
{
    *i = 0;
    *didt = 0;
    const double t = r - p.onRow; // rows since switch-on
    if (t < 0)
        return;
    const double dt = kSimRowSeconds;
    if (p.shape == SimDoubleExp) {
        const double t1 = p.tau1Rows, t2 = p.tau2Rows;
        const double peakAt = std::log(t1 / t2) * t1 * t2 / (t1 - t2);
        const double a = p.I / (std::exp(-peakAt / t1) - std::exp(-peakAt / t2));
        *i = a * (std::exp(-t / t1) - std::exp(-t / t2));
        *didt = a * (std::exp(-t / t2) / t2 - std::exp(-t / t1) / t1) / dt;
        return;
    }
    const double tau = p.tau1Rows;
    if (r < p.offRow) {
        *i = p.I * (1.0 - std::exp(-t / tau));
        *didt = p.I / (tau * dt) * std::exp(-t / tau);
        return;
    }
    const double atOff = p.I * (1.0 - std::exp(-(p.offRow - p.onRow) / tau));
    const double x = r - p.offRow; // rows since the rise ended
    if (p.shape == SimExpLinear) {
        if (x < p.linearRows) {
            *i = atOff * (1.0 - x / p.linearRows);
            *didt = -atOff / (p.linearRows * dt);
        }
        return;
    }
    // The clamp holds the object's voltage at -clamp: L dI/dt = -clamp - R I
    // until the current has gone.
    const double clamp = p.clampShare * p.L * p.I / (tau * dt);
    const double tauObject = p.L / p.R / dt;
    const double current = (atOff + clamp / p.R) * std::exp(-x / tauObject) - clamp / p.R;
    if (current > 0) {
        *i = current;
        *didt = -(clamp + p.R * current) / p.L;
    }
}

/// Current (A) and its rate of change (A/s) of measurement `p` at row `r`.
void Pulse(const TSimPomiar &p, int r, double *i, double *didt)
{
    if (p.shape != SimRaisedCosine) {
        ShapedPulse(p, r, i, didt);
        return;
    }
    int n = r - p.startRow;
    *i = 0;
    *didt = 0;
    if (n < 0)
        return;
    if (p.tauRows > 0) {
        // The source as a damped loop of three equal lags, switched on at
        // startRow and off riseRows + topRows later: the current eases into
        // an exponential rise and, when the inductance is large, is still
        // rising when the source lets go. g is the loop's step response;
        // dI/dt starts without a kink, as behind any analogue filter.
        auto g = [](double x) { return x > 0 ? 1.0 - (1.0 + x + x * x / 2) * std::exp(-x) : 0.0; };
        auto dg = [](double x) { return x > 0 ? x * x / 2 * std::exp(-x) : 0.0; };
        const double on = n / p.tauRows;
        const double off = (n - p.riseRows - p.topRows) / p.tauRows;
        *i = p.I * (g(on) - g(off));
        *didt = p.I / (p.tauRows * kSimRowSeconds) * (dg(on) - dg(off));
        return;
    }
    if (n < p.riseRows) {
        const double th = kPi * n / p.riseRows;
        *i = p.I * (1.0 - std::cos(th)) / 2.0;
        *didt = p.I * kPi / (2.0 * p.riseRows * kSimRowSeconds) * std::sin(th);
        return;
    }
    n -= p.riseRows;
    if (n < p.topRows) {
        *i = p.I;
        return;
    }
    n -= p.topRows;
    if (n < p.fallRows) {
        const double th = kPi * n / p.fallRows;
        *i = p.I * (1.0 + std::cos(th)) / 2.0;
        *didt = -p.I * kPi / (2.0 * p.fallRows * kSimRowSeconds) * std::sin(th);
    }
}

/// Highest and lowest voltage (V) of the noise-free pulse of `p`.
void VoltageExtremes(const TSimPomiar &p, double *uMax, double *uMin)
{
    *uMax = 0;
    *uMin = 0;
    if (p.shape != SimRaisedCosine) {
        // The samples are what clips: every row until the current has gone.
        for (int r = int(p.onRow); r < kPomiarRows; ++r) {
            double i, didt;
            Pulse(p, r, &i, &didt);
            const double u = p.R * i + p.L * didt;
            *uMax = std::max(*uMax, u);
            *uMin = std::min(*uMin, u);
            if (r > p.offRow && (p.shape == SimDoubleExp ? r - p.onRow > 12 * p.tau1Rows : i == 0))
                break;
        }
        return;
    }
    const bool slow = p.tauRows > 0;
    const int end = slow ? kPomiarRows - 1 : p.startRow + p.riseRows + p.topRows + p.fallRows;
    for (int r = p.startRow; r <= end; ++r) {
        // The flat top is R*I throughout: one row of it is enough.
        if (!slow && r == p.startRow + p.riseRows + 1)
            r = p.startRow + p.riseRows + p.topRows - 1;
        double i, didt;
        Pulse(p, r, &i, &didt);
        const double u = p.R * i + p.L * didt;
        *uMax = std::max(*uMax, u);
        *uMin = std::min(*uMin, u);
    }
}

/// The highest sampled current of a switched shape, A.
double SampledPeak(const TSimPomiar &p)
{
    double peak = 0;
    for (int r = int(p.onRow); r <= int(p.offRow) + 1 && r < kPomiarRows; ++r) {
        double i, didt;
        Pulse(p, r, &i, &didt);
        peak = std::max(peak, i);
    }
    return peak;
}

/// Chooses the top current of a measurement and the channels a sound range
/// detection will choose for it.
///
/// The rise is three times as steep as the fall, so the inductive peak on
/// the rise is three times the dip on the fall. The fine range has 2.74
/// times as much room above its zero as below, so whenever the dip would
/// clip the fine range at count 0, the rise overdrives it at 4095 first and
/// the range detection moves to the coarse range. The coarse range itself is
/// kept clear of clipping (except when the meter is meant to overdrive it),
/// and no peak is left within a few counts of a limit, so that converter
/// noise cannot tip the channel choice.
void PlanCurrent(TSimPomiar &p, double setAmps, bool overdrive)
{
    p.I = setAmps;
    if (p.shape == SimOverdriveFine && !overdrive) {
        // The object's flat top lies well up on the coarse range (a few volts),
        // and the step at switch-on overdrives the fine one: 4 to 40 V, from
        // a source whose own resistance sets the rise's time constant.
        if (p.R * p.I < p.topVolts) {
            const double lift = p.topVolts / (p.R * p.I);
            p.R *= lift;
            p.L *= lift;
        }
        const double step = std::max(1.2 * p.R * p.I, p.stepVolts);
        p.tau1Rows = p.L * p.I / step / kSimRowSeconds;
    }
    double uMax, uMin;
    if (overdrive) {
        // A poor contact: the resistance seen is so high that both voltage
        // ranges are overdriven on the flat top.
        p.R = std::max(p.R, 1.3 * kU0Plus / p.I);
        p.status = -1;
    } else {
        VoltageExtremes(p, &uMax, &uMin);
        double scale = 1.0;
        if (uMax > 0.9 * kU0Plus)
            scale = std::min(scale, 0.9 * kU0Plus / uMax);
        if (uMin < -0.85 * kU0Minus)
            scale = std::min(scale, 0.85 * kU0Minus / -uMin);
        p.I *= scale;
        for (int attempt = 0; attempt < 40; ++attempt) {
            VoltageExtremes(p, &uMax, &uMin);
            const double fineMax = kZeroU14 + uMax / kSimSkalaU1;
            const double fineMin = kZeroU14 + uMin / kSimSkalaU1;
            const double coarseMax = kZeroU03 + uMax / kSimSkalaU0;
            const double counts2 = (p.shape == SimRaisedCosine ? p.I : SampledPeak(p)) / kSimSkalaI2;
            const bool nearLimit = std::abs(fineMax - kMaxCount) < 10 || std::abs(coarseMax - kMaxCount) < 10
                || std::abs(counts2 - kI2Limit / kSimSkalaI2) < 10 || std::abs(counts2 - kMaxCount) < 10;
            const bool fineClipsLow = fineMin < 4 && fineMax < kMaxCount;
            if (!nearLimit && !fineClipsLow)
                break;
            p.I *= 0.97;
        }
    }

    VoltageExtremes(p, &uMax, &uMin);
    const bool okU1 = kZeroU14 + uMax / kSimSkalaU1 < kMaxCount;
    const bool okU0 = kZeroU03 + uMax / kSimSkalaU0 < kMaxCount;
    const bool okI2 = (p.shape == SimRaisedCosine ? p.I : SampledPeak(p)) < kI2Limit;
    p.kanalI = okI2 ? 2 : 5;
    p.kanalU = 1; // what the meter's file starts with; kept when no range fits
    if (okU1)
        p.kanalU = okI2 ? 1 : 4;
    else if (okU0)
        p.kanalU = okI2 ? 0 : 3;
}

/// Counts of the flat-top voltage on the voltage channel a sound range
/// detection chooses.
double TopCounts(const TSimPomiar &p)
{
    const double skala = (p.kanalU == 1 || p.kanalU == 4) ? kSimSkalaU1 : kSimSkalaU0;
    return p.R * p.I / skala;
}
constexpr double kMinTopCounts = 50;

// ---------------------------------------------------------------- names and texts

const char *const kObiektWzory[] = {
    "Rozdzielnia RG-%1, szyna L%2",
    "Transformator T%1 – uzwojenie GN faza %2",
    "Złącze kablowe ZK-%1/%2",
    "Odłącznik Q%1 styk %2",
    "Wyłącznik Q%1, tor prądowy L%2",
    "Połączenie śrubowe szyny PE nr %1.%2",
    "Uziom słupa nr %1 (odcinek %2)",
    "Silnik M%1 – uzwojenie U-V, pomiar %2",
    "Dławik D%1 przekaźnika 'K%2'",
    "Przewód łączeniowy %1 mm², żyła %2",
};

const char *const kKomentarze[] = {
    "Pomiar kontrolny",
    "Styk nadpalony – do wymiany",
    "Po dokręceniu śrub M12 momentem 40 Nm",
    "Zacisk 'L1' luźny",
    "Temperatura otoczenia 25°C, wilgotność 60%",
    "Zażółć gęślą jaźń",
    "Sprawdzić jeszcze raz ('po' konserwacji)",
    "R<5 mΩ <b>",
    "Uwaga: przewód O'Briena; pomiar powtórzony",
    "Łącznik źle dociśnięty, ślady utlenienia",
};

QString ObiektName(quint64 seed, int id)
{
    TSimRandom rnd(StreamSeed(seed, 1, quint64(id)));
    const int wzory = int(sizeof(kObiektWzory) / sizeof(kObiektWzory[0]));
    const int w = (id - 1) % wzory; // every pattern appears early on
    const int second = rnd.Range(1, 3);
    return QString::fromUtf8(kObiektWzory[w]).arg(id).arg(second);
}

struct TObiektPhysics
{
    double R; // ohms
    double L; // henries
};

TObiektPhysics ObiektPhysics(quint64 seed, int id)
{
    TSimRandom rnd(StreamSeed(seed, 4, quint64(id)));
    const double R = rnd.LogUniform(0.005, 20.0);
    const double tau = rnd.LogUniform(0.2e-3, 3e-3); // L/R, seconds
    return {R, R * tau};
}

QString CsvNumber(double x) { return QString::number(x, 'g', 17); }

QString ConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("zymsim_%1").arg(counter.fetchAndAddRelaxed(1));
}

bool Fail(QString *errorText, const QString &text)
{
    if (errorText)
        *errorText = text;
    return false;
}

bool WriteDataBase(const QString &path, quint64 seed, const QStringList &obiekty,
                   const QVector<TSimPomiar> &pomiary, QString *errorText)
{
    if (QFile::exists(path) && !QFile::remove(path))
        return Fail(errorText, QStringLiteral("cannot replace ") + path);

    const QString name = ConnectionName();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            Fail(errorText, db.lastError().text());
        } else {
            QSqlQuery q(db);
            auto exec = [&](const QString &sql) {
                if (q.exec(sql))
                    return true;
                return Fail(errorText, q.lastError().text() + QStringLiteral(": ") + sql);
            };
            ok = exec(QStringLiteral("CREATE TABLE obiekt (obiekt_id INTEGER PRIMARY KEY, Obiekt_nazwa TEXT)"))
                && exec(QStringLiteral(
                    "CREATE TABLE pomiar (pomiar_id INTEGER PRIMARY KEY, pomiar_czas INTEGER, "
                    "pomiar_plik_dane TEXT, pomiar_rezystancja REAL, pomiar_metoda INTEGER, "
                    "pomiar_komentarz TEXT, pomiar_status INTEGER, pomiar_vref REAL, "
                    "pomiar_temp_core REAL, pomiar_obiekt_id INTEGER)"))
                && exec(QStringLiteral(
                    "CREATE TABLE ZYM (serial_zym TEXT, hw TEXT, soft_rpi TEXT, system_rpi TEXT, "
                    "firmware_cortex TEXT, info TEXT, u1_offset INTEGER, u2_offset INTEGER, i_offset INTEGER)"));
            ok = ok && db.transaction();
            if (ok) {
                q.prepare(QStringLiteral("INSERT INTO obiekt (obiekt_id, Obiekt_nazwa) VALUES (?, ?)"));
                for (int i = 0; ok && i < obiekty.size(); ++i) {
                    q.addBindValue(i + 1);
                    q.addBindValue(obiekty[i]);
                    ok = q.exec() || Fail(errorText, q.lastError().text());
                }
            }
            if (ok) {
                q.prepare(QStringLiteral(
                    "INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_plik_dane, pomiar_rezystancja, "
                    "pomiar_metoda, pomiar_komentarz, pomiar_status, pomiar_vref, pomiar_temp_core, "
                    "pomiar_obiekt_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
                for (const TSimPomiar &p : pomiary) {
                    TSimRandom rnd(StreamSeed(seed, 5, quint64(p.pomiar_id)));
                    q.addBindValue(p.pomiar_id);
                    q.addBindValue(p.czas);
                    q.addBindValue(p.plik_dane);
                    q.addBindValue(p.rezystancja);
                    q.addBindValue(p.metoda);
                    q.addBindValue(p.bKomentarzNull ? QVariant(QVariant::String) : QVariant(p.komentarz));
                    q.addBindValue(p.status);
                    q.addBindValue(2.048 + 0.002 * rnd.Gauss()); // V, the converters' reference
                    q.addBindValue(30.0 + 15.0 * rnd.Uniform()); // °C inside the meter
                    q.addBindValue(p.obiekt_id);
                    if (!q.exec()) {
                        ok = Fail(errorText, q.lastError().text());
                        break;
                    }
                }
            }
            if (ok) {
                q.prepare(QStringLiteral("INSERT INTO ZYM VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
                q.addBindValue(QStringLiteral("ZYM5-%1").arg(seed % 100000, 5, 10, QLatin1Char('0')));
                q.addBindValue(QStringLiteral("rev. C"));
                q.addBindValue(QStringLiteral("1.4.2"));
                q.addBindValue(QStringLiteral("Raspbian 10 (buster)"));
                q.addBindValue(QStringLiteral("2.07"));
                q.addBindValue(QStringLiteral("Symulowany miernik ZYM-5 (ziarno %1)").arg(seed));
                q.addBindValue(kOffset03);
                q.addBindValue(kOffset14);
                q.addBindValue(0);
                ok = q.exec() || Fail(errorText, q.lastError().text());
            }
            if (ok)
                ok = db.commit() || Fail(errorText, db.lastError().text());
            else
                db.rollback();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool WriteTruth(const QString &path, const QVector<TSimPomiar> &pomiary, QString *errorText)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return Fail(errorText, file.errorString());
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "pomiar_id,obiekt_id,R_ohm,L_H,I_A,start_row,rise_rows,top_rows,fall_rows,kanalI,kanalU,"
           "status,metoda,czas,rezystancja,plik_dane\n";
    for (const TSimPomiar &p : pomiary) {
        out << p.pomiar_id << ',' << p.obiekt_id << ',' << CsvNumber(p.R) << ',' << CsvNumber(p.L) << ','
            << CsvNumber(p.I) << ',' << p.startRow << ',' << p.riseRows << ',' << p.topRows << ','
            << p.fallRows << ',' << p.kanalI << ',' << p.kanalU << ',' << p.status << ',' << p.metoda << ','
            << p.czas << ',' << CsvNumber(p.rezystancja) << ',' << p.plik_dane << '\n';
    }
    out.flush();
    if (!file.commit())
        return Fail(errorText, file.errorString());
    return true;
}

/// The harder waveforms asked for in `options`, from a stream of their own
/// so that the rest of the plan stays what it is without them.
void HarderWaveform(const TSimOptions &options, TSimPomiar &p)
{
    TSimRandom rnd(StreamSeed(options.seed, 6, quint64(p.pomiar_id)));
    if (options.bSlowRise) {
        // The loop's time constant: the object's own, L / (R + 50 mohm of
        // leads and source), but never faster than the source can follow.
        const double tau = p.L / (p.R + 0.05) / kSimRowSeconds;
        p.tauRows = std::max(5.0, std::min(150.0, tau));
    }
    if (options.bThermal) {
        p.thermalVolts = 3e-3 * (2 * rnd.Uniform() - 1);
        p.thermalDrift = 2e-3 * (2 * rnd.Uniform() - 1);
    }
    p.bHeavyNoise = options.bHeavyNoise;
}

/// The switched shape asked for in `options`, from a stream of its own.
void ShapeWaveform(const TSimOptions &options, TSimPomiar &p)
{
    if (options.shape == SimRaisedCosine || options.bSlowRise)
        return;
    TSimRandom rnd(StreamSeed(options.seed, 7, quint64(p.pomiar_id)));
    p.shape = options.shape;
    p.onRow = p.startRow + rnd.Uniform();
    p.offRow = p.onRow + p.riseRows + p.topRows;
    const double tauObject = p.L / p.R / kSimRowSeconds;
    switch (options.shape) {
    case SimSwitched:
        // The source's own resistance, 0.2 to 4 times the object's, shortens the rise.
        p.tau1Rows = tauObject / (1.0 + rnd.LogUniform(0.2, 4.0));
        p.clampShare = rnd.LogUniform(0.3, 1.5);
        break;
    case SimExpLinear:
        p.tau1Rows = std::max(5.0, std::min(150.0, p.L / (p.R + 0.05) / kSimRowSeconds));
        p.linearRows = rnd.LogUniform(60.0, 300.0);
        break;
    case SimDoubleExp:
        p.tau2Rows = rnd.LogUniform(3.0, 25.0);
        p.tau1Rows = rnd.LogUniform(150.0, 500.0);
        break;
    case SimOverdriveFine: // tau1Rows follows the current, in PlanCurrent
        p.clampShare = rnd.LogUniform(0.05, 0.2);
        p.topVolts = rnd.LogUniform(2.6, 6.0);
        p.stepVolts = rnd.LogUniform(4.0, 40.0);
        break;
    default:
        p.shape = SimRaisedCosine;
        break;
    }
}

} // namespace

QStringList SimObiektNames(const TSimOptions &options)
{
    QStringList names;
    for (int id = 1; id <= options.iObiekty; ++id)
        names << ObiektName(options.seed, id);
    // The meter lets two objects share a name; the reader finds only the last.
    if (options.iObiekty >= 3)
        names[options.iObiekty - 1] = names[1];
    else if (options.iObiekty == 2)
        names[1] = names[0];
    return names;
}

QVector<TSimPomiar> SimPlan(const TSimOptions &options)
{
    QVector<TSimPomiar> plan;
    if (options.iPomiary <= 0 || options.iObiekty <= 0)
        return plan;
    plan.reserve(options.iPomiary);

    QVector<TObiektPhysics> physics;
    physics.reserve(options.iObiekty);
    for (int id = 1; id <= options.iObiekty; ++id)
        physics << ObiektPhysics(options.seed, id);

    static const double kPrady[] = {1, 2, 5, 10, 15, 25, 50, 100}; // A, the meter's set points
    const int nPrady = int(sizeof(kPrady) / sizeof(kPrady[0]));
    const int nKomentarze = int(sizeof(kKomentarze) / sizeof(kKomentarze[0]));

    qint64 czas = kCzasStart;
    for (int m = 0; m < options.iPomiary; ++m) {
        TSimPomiar p;
        p.pomiar_id = m + 1;
        // The meter measures one object several times before moving on.
        p.obiekt_id = int(qint64(m) * options.iObiekty / options.iPomiary) + 1;
        TSimRandom rnd(StreamSeed(options.seed, 2, quint64(p.pomiar_id)));

        const TObiektPhysics &o = physics[p.obiekt_id - 1];
        p.R = o.R * (1.0 + 0.005 * rnd.Gauss()); // contact and temperature
        p.L = o.L;
        p.startRow = 1040 + rnd.Range(0, 60);
        p.riseRows = kRiseRows;
        p.topRows = 350 + rnd.Range(0, 250);
        p.fallRows = kFallRows;
        p.metoda = rnd.Uniform() < 0.35 ? 0x80 : 0x00;
        const bool overdrive = rnd.Uniform() < 0.06;
        HarderWaveform(options, p);
        ShapeWaveform(options, p);

        // The meter aims for at least 20 mV on the fine range.
        int first = 0;
        while (first < nPrady - 1 && kPrady[first] * p.R < 0.02)
            ++first;
        const int chosen = rnd.Range(first, nPrady - 1);
        const TSimPomiar unplanned = p;
        PlanCurrent(p, kPrady[chosen], overdrive);
        // A voltage of a few counts on the range the reader will use is a
        // poor measurement: the meter tries the next set points up, then down.
        for (int step = 1; !overdrive && TopCounts(p) < kMinTopCounts && step < 2 * nPrady; ++step) {
            const int k = chosen + step < nPrady ? chosen + step : nPrady - 1 - step;
            if (k < 0)
                break;
            TSimPomiar trial = unplanned;
            PlanCurrent(trial, kPrady[k], false);
            if (TopCounts(trial) >= kMinTopCounts) {
                p = trial;
                break;
            }
        }

        if (p.status == -1) {
            // What the meter computes from a voltage clipped at full scale.
            p.rezystancja = kU0Plus / p.I;
        } else {
            p.rezystancja = p.R * (1.0 + 0.002 * rnd.Gauss());
        }

        czas += 20 + rnd.Range(0, 380);
        if (rnd.Uniform() < 0.03)
            czas += 16 * 3600; // overnight
        p.czas = qint32(czas);

        const double k = rnd.Uniform();
        if (k < 0.05) {
            p.bKomentarzNull = true;
        } else if (k >= 0.5) {
            p.komentarz = QString::fromUtf8(kKomentarze[rnd.Range(0, nKomentarze - 1)]);
        }
        p.plik_dane = QStringLiteral("pomiar_%1.zym5").arg(p.pomiar_id, 6, 10, QLatin1Char('0'));
        plan << p;
    }
    return plan;
}

void SimMakeRecord(const TSimPomiar &p, quint64 seed, TDataPomiar *rec)
{
    std::memset(rec, 0, sizeof(TDataPomiar));
    rec->metoda = p.metoda;
    rec->kanalI = p.kanalI;
    rec->kanalU = p.kanalU;
    rec->skala[0] = kSimSkalaU0;
    rec->skala[1] = kSimSkalaU1;
    rec->skala[2] = kSimSkalaI2;
    rec->skala[3] = kSimSkalaU0;
    rec->skala[4] = kSimSkalaU1;
    rec->skala[5] = kSimSkalaI5;
    rec->rezystancja = p.rezystancja;
    rec->czas = p.czas;

    TNoise noise(StreamSeed(seed, 3, quint64(p.pomiar_id)), p.bHeavyNoise);
    auto count = [&noise](double x) {
        const double c = std::floor(x + noise.Next() + 0.5);
        return qint32(c < 0 ? 0 : (c > kMaxCount ? kMaxCount : c));
    };
    for (int r = 0; r < kPomiarRows; ++r) {
        double i, didt;
        Pulse(p, r, &i, &didt);
        double u = p.R * i + p.L * didt;
        if (p.thermalVolts != 0 || p.thermalDrift != 0)
            u += p.thermalVolts + p.thermalDrift * r / kPomiarRows;
        qint32 *row = rec->dane[r];
        row[0] = count(kZeroU03 + u / kSimSkalaU0);
        row[1] = count(kZeroU14 + u / kSimSkalaU1);
        row[2] = count(kZeroI + i / kSimSkalaI2);
        row[3] = count(kZeroU03 + u / kSimSkalaU0);
        row[4] = count(kZeroU14 + u / kSimSkalaU1);
        row[5] = count(kZeroI + i / kSimSkalaI5);
    }
}

int SimWriteMeter(const QString &folder, const TSimOptions &options, TSimMeter *meter, QString *errorText)
{
    if (folder.isEmpty() || options.iObiekty < 0 || options.iPomiary < 0
        || (options.iPomiary > 0 && options.iObiekty == 0)) {
        Fail(errorText, QStringLiteral("bad options"));
        return SimBadOptions;
    }
    if (!QDir().mkpath(folder)) {
        Fail(errorText, QStringLiteral("cannot create ") + folder);
        return SimFolderFailed;
    }

    TSimMeter out;
    out.qsFolder = FolderOf(folder + QStringLiteral("/zym_5.db"));
    out.qsDataBase = out.qsFolder + QStringLiteral("zym_5.db");
    out.qsTruth = out.qsFolder + QStringLiteral("zym_5_truth.csv");
    out.obiekty = SimObiektNames(options);
    out.pomiary = SimPlan(options);

    if (!WriteDataBase(out.qsDataBase, options.seed, out.obiekty, out.pomiary, errorText))
        return SimDataBaseFailed;

    const int files = options.iDataFiles < 0 ? out.pomiary.size() : std::min(options.iDataFiles, out.pomiary.size());
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    for (int m = 0; m < files; ++m) {
        SimMakeRecord(out.pomiary[m], options.seed, rec.get());
        if (!WriteDataFile(out.qsFolder + out.pomiary[m].plik_dane, rec.get(), errorText))
            return SimDataFileFailed;
    }

    if (!WriteTruth(out.qsTruth, out.pomiary, errorText))
        return SimTruthFailed;

    if (meter)
        *meter = out;
    return SimOk;
}

QVector<TSimPomiar> SimReadTruth(const QString &truthCsv)
{
    QVector<TSimPomiar> result;
    QFile file(truthCsv);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    in.readLine(); // header
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(QLatin1Char(','));
        if (f.size() != 16)
            continue;
        TSimPomiar p;
        p.pomiar_id = f[0].toInt();
        p.obiekt_id = f[1].toInt();
        p.R = f[2].toDouble();
        p.L = f[3].toDouble();
        p.I = f[4].toDouble();
        p.startRow = f[5].toInt();
        p.riseRows = f[6].toInt();
        p.topRows = f[7].toInt();
        p.fallRows = f[8].toInt();
        p.kanalI = f[9].toInt();
        p.kanalU = f[10].toInt();
        p.status = f[11].toInt();
        p.metoda = f[12].toInt();
        p.czas = f[13].toInt();
        p.rezystancja = f[14].toDouble();
        p.plik_dane = f[15];
        result << p;
    }
    return result;
}
