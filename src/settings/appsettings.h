#pragma once

#include <QObject>

// The one settings object of the program. Creating it names the application, which locates the
// settings store, so it must come into being before any QSettings is opened.
class AppSettings : public QObject
{
    Q_OBJECT
public:
    static AppSettings* instance();

    // Whether the panorama tips are switched off. Only the first call of a run consults the store;
    // every later call answers true, so the tips show at most once per run.
    bool readPanoramaTips();
    // Stores at once whether the user asked not to see the panorama tips again.
    void writePanoramaTips(bool off);

    // The folder photos were last chosen from, and the folder of the last export; the home folder when
    // none is stored or the stored one is gone.
    QString lastPhotoFolder() const;
    void setLastPhotoFolder(const QString& folder);
    QString lastExportFolder() const;
    void setLastExportFolder(const QString& folder);

    // Whether a panorama is taken whole, empty edges and all, rather than cut to its largest
    // rectangle of picture (false when nothing is stored).
    bool keepWholePanorama() const;
    void setKeepWholePanorama(bool keep);

private:
    AppSettings();

    bool tipsChecked = false;
};
