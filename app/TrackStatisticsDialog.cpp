#include "app/TrackStatisticsDialog.h"

#include "model/TrackStatistics.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

TrackStatisticsDialog::TrackStatisticsDialog(const ravok::CTrackPOD& track, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Track Statistics"));
    auto* grid = new QGridLayout;
    int row = 0;
    for (const auto& line : ravok::TrackStatisticsRows(track)) {
        auto* label = new QLabel(QString::fromStdString(line.label) + QLatin1Char(':'));
        auto* count = new QLabel(QString::number(line.count));
        count->setObjectName(QString::fromStdString(line.label));
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, 0);
        grid->addWidget(count, row, 1);
        grid->addWidget(new QLabel(QString::fromStdString(line.limit)), row, 2);
        ++row;
    }
    grid->setColumnMinimumWidth(1, 60);
    grid->setHorizontalSpacing(12);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}
