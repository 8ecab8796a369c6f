#ifndef ZYMSIM_H
#define ZYMSIM_H

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

struct TDataPomiar;

// A simulated meter: writes a folder laid out like the meter's share
// (zym_5.db, one *.zym5 data file per measurement) from a physical model of
// the object, so that tests, benchmarks and demos have realistic samples and
// the estimates of the reader can be checked against the truth.
//
// Physics: the object is a series R-L. The meter drives a current pulse
// through it (raised-cosine rise and fall, flat top) and the voltage across
// it is U = R*I + L*dI/dt. Rows are 20 us apart; rows 0..999 are the baseline
// at zero current; the pulse starts shortly after row 1000 and is over long
// before row 2200 (unless TSimOptions asks for the slow rise).

/// Converter scales of the simulated meter, units per count.
constexpr double kSimSkalaU0 = 0.05;   ///< V per count, coarse voltage range (channels 0 and 3)
constexpr double kSimSkalaU1 = 0.001;  ///< V per count, fine voltage range (channels 1 and 4)
constexpr double kSimSkalaI2 = 0.005;  ///< A per count, low current range (channel 2, used up to 17 A)
constexpr double kSimSkalaI5 = 0.05;   ///< A per count, high current range (channel 5)
/// Time between rows, seconds.
constexpr double kSimRowSeconds = 20e-6;

/// Result codes of SimWriteMeter.
enum SimResult {
    SimOk = 0,              ///< the folder was written
    SimBadOptions = -1,     ///< negative counts or an empty folder name
    SimFolderFailed = -2,   ///< the folder could not be created
    SimDataBaseFailed = -3, ///< the database could not be created or filled
    SimDataFileFailed = -4, ///< a data file could not be written
    SimTruthFailed = -5     ///< the sidecar CSV could not be written
};

/// Shapes of the current pulse. Every shape but the first switches within
/// a sample, so that the voltage steps between two rows; the instant of
/// each switch falls anywhere inside its sample interval.
enum TSimShape {
    SimRaisedCosine = 0, ///< raised-cosine rise and fall around a flat top (the meter's own source)
    SimSwitched,         ///< a DC source with its own resistance switched onto the R-L: exponential rise,
                         ///< then a clamp voltage drives the current down until it ends
    SimExpLinear,        ///< exponential rise, then a linear fall
    SimDoubleExp,        ///< a peaked pulse with a slow tail: the difference of two exponentials
    SimOverdriveFine     ///< the switched source whose step overdrives the fine voltage range,
                         ///< so that the coarse range carries the voltage
};

/// What to simulate.
struct TSimOptions
{
    int iObiekty = 12;      // objects (table obiekt)
    int iPomiary = 60;      // measurements (table pomiar), spread over the objects in runs
    quint64 seed = 1;       // same seed, same folder, byte for byte
    int iDataFiles = -1;    // write data files only for pomiar_id 1..iDataFiles; -1 for all.
                            // The rows of the others still name their own (absent) files.
    // Harder waveforms, each as a real meter may see it. All off: the folder
    // of a seed stays what it always was.
    bool bSlowRise = false;  // the current source answers like a damped loop: a slow exponential
                             // rise through a large inductance (still unsettled when switched off)
                             // and a tail that lasts far beyond row 2200
    bool bThermal = false;   // a thermal voltage of a few millivolts drifting through the record
    bool bHeavyNoise = false; // converter noise with heavy tails and rare spikes instead of Gaussian
    int shape = SimRaisedCosine; // TSimShape of every pulse (not with bSlowRise)
};

/// The truth about one simulated measurement (one line of the sidecar CSV).
struct TSimPomiar
{
    int pomiar_id = 0;
    int obiekt_id = 0;
    double R = 0;        // ohms: the object's resistance at this measurement (contact included)
    double L = 0;        // henries
    double I = 0;        // amperes: top of the current pulse
    int startRow = 0;    // first row of the rise
    int riseRows = 0;    // rows of the raised-cosine rise
    int topRows = 0;     // rows of the flat top
    int fallRows = 0;    // rows of the raised-cosine fall
    int kanalI = 2;      // channel a sound range detection chooses for the current
    int kanalU = 1;      // ... and for the voltage (kept at 1 when both voltage ranges are overdriven)
    int status = 0;      // pomiar_status: -1 when both voltage ranges are overdriven
    qint32 metoda = 0;   // pomiar_metoda: 0x80 for 3P
    qint32 czas = 0;     // pomiar_czas: seconds since 1970 UTC
    double rezystancja = 0; // pomiar_rezystancja: what the meter stored, ohms
    QString plik_dane;   // pomiar_plik_dane
    QString komentarz;   // pomiar_komentarz (not in the sidecar CSV)
    bool bKomentarzNull = false; // pomiar_komentarz is NULL (not in the sidecar CSV)
    // The harder waveforms of TSimOptions (not in the sidecar CSV).
    double tauRows = 0;       // > 0: the slow rise, time constant of the source's loop in rows
    double thermalVolts = 0;  // thermal voltage at row 0, volts
    double thermalDrift = 0;  // its change over the whole record, volts
    bool bHeavyNoise = false;
    // The switched shapes of TSimShape (not in the sidecar CSV). Times in
    // rows, fractional: the switches fall between two samples.
    int shape = SimRaisedCosine;
    double onRow = 0;      // the source switches on
    double offRow = 0;     // the rise ends (switch-off, or the start of the linear fall)
    double linearRows = 0; // rows of the linear fall
    double tau1Rows = 0;   // rise time constant; the slow one of the double exponential
    double tau2Rows = 0;   // the fast one of the double exponential
    double clampShare = 0; // the clamp voltage that drives the switched current down, as a share
                           // of the voltage step at switch-on
    double topVolts = 0;   // SimOverdriveFine: R·I of the top and the step at switch-on, volts,
    double stepVolts = 0;  // at least (the object is lifted, the source chosen for them)
};

/// A simulated meter folder as written.
struct TSimMeter
{
    QString qsFolder;    // absolute, with a trailing "/"
    QString qsDataBase;  // qsFolder + "zym_5.db"
    QString qsTruth;     // qsFolder + "zym_5_truth.csv"
    QStringList obiekty; // Obiekt_nazwa by obiekt_id - 1 (one name repeats once)
    QVector<TSimPomiar> pomiary; // by pomiar_id - 1
};

/// The truth of every measurement of a meter with these options, without
/// writing anything.
QVector<TSimPomiar> SimPlan(const TSimOptions &options);

/// The names of the objects of a meter with these options.
QStringList SimObiektNames(const TSimOptions &options);

/// The data file of measurement `p` (as planned by SimPlan with `seed`).
void SimMakeRecord(const TSimPomiar &p, quint64 seed, TDataPomiar *rec);

/// Writes a meter folder into `folder` (created when missing; an existing
/// zym_5.db there is replaced). Returns a SimResult; the reason of a
/// failure goes to `*errorText` (when given), the result to `*meter`.
int SimWriteMeter(const QString &folder, const TSimOptions &options, TSimMeter *meter = nullptr,
                  QString *errorText = nullptr);

/// Reads a sidecar CSV written by SimWriteMeter; empty when unreadable.
QVector<TSimPomiar> SimReadTruth(const QString &truthCsv);

#endif // ZYMSIM_H
