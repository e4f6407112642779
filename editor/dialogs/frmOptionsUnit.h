#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// The options dialog: the data folder and the two load options. The main window fills it, shows it and takes its
// values on OK.
class TfrmOptions final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOptions(QWidget* Parent);

    QLineEdit* edPyxPath;
    QToolButton* btnBrowse;
    QCheckBox* cbLoadAllLanguages;
    QCheckBox* cbLoadPlayingHistories;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // The folder part of a path: everything up to and including its last '/'; empty when it has none.
    static QString FolderPart(const QString& Path);

public slots:
    // Lets the user pick the game's server_db.dat and puts its folder, with a trailing delimiter, in the edit.
    void btnBrowseClick();
};
