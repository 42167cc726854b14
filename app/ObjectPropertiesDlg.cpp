#include "app/ObjectPropertiesDlg.h"

#include "app/FileDialogFilter.h"
#include "app/LightPropertiesDlg.h"
#include "app/StockSoundDlg.h"
#include "model/TrackRecords.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

using namespace ravok;

namespace {

constexpr double kAnyAngle = 3600;       // angles from files are shown as they are, wrapped only by the keys
constexpr double kMaxWorldXY = 256 * 64; // the grid's far edge in world units

// A field left as it was shown keeps the record's exact value: the box shows
// it rounded to its decimals.
double exactOr(const QDoubleSpinBox* box, double exact) {
    const double unit = std::pow(10.0, -box->decimals());
    return std::fabs(box->value() - exact) < unit / 2 ? exact : box->value();
}

QString qText(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

QDoubleSpinBox* CObjectPropertiesDlg::number(const char* name, double low, double high, int decimals) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setDecimals(decimals);
    return box;
}

QSpinBox* CObjectPropertiesDlg::whole(const char* name, int low, int high) {
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    return box;
}

QWidget* CObjectPropertiesDlg::soundRow(QLineEdit*& field, const char* name, SoundKind kind) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    field = new QLineEdit(row);
    field->setObjectName(QString::fromLatin1(name));
    auto* stock = new QPushButton(QStringLiteral("#"), row);
    stock->setObjectName(QString::fromLatin1(name) + QStringLiteral("Stock"));
    auto* file = new QPushButton(QStringLiteral("..."), row);
    file->setObjectName(QString::fromLatin1(name) + QStringLiteral("File"));
    for (QPushButton* b : {stock, file})
        b->setFixedWidth(28);
    layout->addWidget(field, 1);
    layout->addWidget(stock);
    layout->addWidget(file);
    QLineEdit* edit = field;
    connect(stock, &QPushButton::clicked, this, [this, edit, kind] {
        CStockSoundDlg picker(kind, edit->text(), this);
        if (picker.exec() == QDialog::Accepted && !picker.field().isEmpty()) edit->setText(picker.field());
    });
    connect(file, &QPushButton::clicked, this, [this, edit] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Select Sound"), m_soundFolder,
                                                          QtFileFilter("WAV files (*.wav)"));
        if (path.isEmpty()) return;
        // The sound is loaded from the sound folder by its name when OK is pressed:
        // a file from elsewhere would never be found there.
        const QFileInfo chosen(path);
        if (chosen.absoluteDir() != QDir(m_soundFolder)) {
            QMessageBox::warning(
                this, QStringLiteral("Select Sound"),
                QStringLiteral("Sounds are loaded from the sound folder:\n%1\n\nCopy %2 there "
                               "first, then choose it again.")
                    .arg(QDir::toNativeSeparators(m_soundFolder), chosen.fileName()));
            return;
        }
        edit->setText(chosen.fileName().toUpper());
    });
    return row;
}

CObjectPropertiesDlg::CObjectPropertiesDlg(const ObjectPropertiesValues& values, bool showSize, bool sitUnits,
                                           const QString& soundFolder, QWidget* parent)
    : QDialog(parent), m_initial(values), m_values(values), m_showSize(showSize), m_sitUnits(sitUnits),
      m_soundFolder(soundFolder) {
    setWindowTitle(QStringLiteral("Object Properties"));
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("type"));
    for (std::string_view name : kObjectTypeNames)
        m_type->addItem(qText(std::string(name)));
    m_sequence = whole("sequence", 0, 999);
    m_model = new QLineEdit(this);
    m_model->setObjectName(QStringLiteral("model"));
    m_model->setReadOnly(true);
    const double maxXY = sitUnits ? kMaxWorldXY / 2.0 : kMaxWorldXY;
    m_x = number("x", 0, maxXY, 3);
    m_y = number("y", 0, maxXY, 3);
    m_length = whole("length", 1, 65535);
    m_width = whole("width", 1, 65535);
    m_height = whole("height", 0, 65535);
    m_vx = number("vx", -1e6, 1e6, 3);
    m_vy = number("vy", -1e6, 1e6, 3);
    m_mass = whole("mass", 0, 100000000);
    m_aboveGround = number("aboveGround", -100000, kMaxAboveGround, 3);
    m_heading = number("heading", -kAnyAngle, kAnyAngle, 5);
    m_phi = number("tiltPhi", -kAnyAngle, kAnyAngle, 5);
    m_theta = number("tiltTheta", -kAnyAngle, kAnyAngle, 5);
    m_level = new QComboBox(this);
    m_level->setObjectName(QStringLiteral("level"));
    m_level->addItems({QStringLiteral("Sparse"), QStringLiteral("Normal"), QStringLiteral("Complex")});

    m_form = new QFormLayout;
    m_form->addRow(QStringLiteral("Type"), m_type);
    m_form->addRow(QStringLiteral("Sequence"), m_sequence);
    m_form->addRow(QStringLiteral("Model"), m_model);
    m_form->addRow(QStringLiteral("X"), m_x);
    m_form->addRow(QStringLiteral("Y"), m_y);
    m_sizeRow = new QWidget(this);
    auto* size = new QHBoxLayout(m_sizeRow);
    size->setContentsMargins(0, 0, 0, 0);
    size->addWidget(m_length);
    size->addWidget(new QLabel(QStringLiteral("x"), m_sizeRow));
    size->addWidget(m_width);
    size->addWidget(new QLabel(QStringLiteral("x"), m_sizeRow));
    size->addWidget(m_height);
    m_form->addRow(QStringLiteral("Size"), m_sizeRow);
    m_form->addRow(QStringLiteral("vx"), m_vx);
    m_form->addRow(QStringLiteral("vy"), m_vy);
    m_form->addRow(QStringLiteral("Mass (Lbs)"), m_mass);
    m_form->addRow(QStringLiteral("Above ground"), m_aboveGround);
    m_form->addRow(QStringLiteral("Orientation\u00b0"), m_heading);
    m_form->addRow(QStringLiteral("Tilt 1\u00b0"), m_phi);
    m_form->addRow(QStringLiteral("Tilt 2\u00b0"), m_theta);
    m_form->addRow(QStringLiteral("Level"), m_level);
    m_form->addRow(QStringLiteral("Cont."), soundRow(m_continuous, "continuousSound", SoundKind::Continuous));
    m_form->addRow(QStringLiteral("Impact"), soundRow(m_impact, "impactSound", SoundKind::Impact));
    m_cabOffsetRow = new QWidget(this);
    auto* cab = new QHBoxLayout(m_cabOffsetRow);
    cab->setContentsMargins(0, 0, 0, 0);
    const char* const cabNames[] = {"cabX", "cabY", "cabZ"};
    for (size_t i = 0; i < 3; ++i) {
        m_cab[i] = whole(cabNames[i], -1000000, 1000000);
        cab->addWidget(m_cab[i]);
    }
    m_form->addRow(QStringLiteral("Cab offset"), m_cabOffsetRow);
    m_cabModelRow = new QWidget(this);
    auto* cabModel = new QHBoxLayout(m_cabModelRow);
    cabModel->setContentsMargins(0, 0, 0, 0);
    m_cabModel = new QLineEdit(m_cabModelRow);
    m_cabModel->setObjectName(QStringLiteral("cabModel"));
    m_cabModel->setReadOnly(true);
    m_chooseCab = new QPushButton(QStringLiteral("..."), m_cabModelRow);
    m_chooseCab->setObjectName(QStringLiteral("chooseCab"));
    m_chooseCab->setFixedWidth(28);
    cabModel->addWidget(m_cabModel, 1);
    cabModel->addWidget(m_chooseCab);
    m_form->addRow(QStringLiteral("Cab model"), m_cabModelRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* reset = buttons->addButton(QStringLiteral("Reset"), QDialogButtonBox::ResetRole);
    m_light = buttons->addButton(QStringLiteral("Light..."), QDialogButtonBox::ActionRole);
    m_light->setObjectName(QStringLiteral("light"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(reset, &QPushButton::clicked, this, [this] {
        m_values = m_initial;
        show(m_initial);
    });
    connect(m_light, &QPushButton::clicked, this, [this] {
        CLightPropertiesDlg light(m_values.light, this);
        if (light.exec() == QDialog::Accepted) m_values.light = light.values();
    });
    connect(m_chooseCab, &QPushButton::clicked, this, [this] {
        ObjectPropertiesValues v = this->values();
        if (!chooseTopCrushModels || !chooseTopCrushModels(v)) return;
        m_values.modelName = v.modelName;
        m_values.cabModelName = v.cabModelName;
        m_values.chosenCabModel = v.chosenCabModel;
        m_values.chosenBaseModel = v.chosenBaseModel;
        // The object will stand on the base: that height is now the one shown.
        m_values.aboveGround = v.aboveGround;
        m_aboveGround->setValue(v.aboveGround);
        m_model->setText(qText(v.modelName));
        m_cabModel->setText(qText(v.cabModelName));
    });
    connect(m_type, &QComboBox::currentIndexChanged, this, &CObjectPropertiesDlg::showTypeParts);
    show(values);
    // The object keys reach the dialog from whichever field has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void CObjectPropertiesDlg::show(const ObjectPropertiesValues& v) {
    m_type->setCurrentIndex(std::clamp(v.typeIndex, 0, int(kObjectTypeNames.size()) - 1));
    m_sequence->setValue(v.sequence);
    m_model->setText(qText(v.modelName));
    m_x->setValue(v.x);
    m_y->setValue(v.y);
    m_length->setValue(v.length);
    m_width->setValue(v.width);
    m_height->setValue(v.height);
    m_vx->setValue(v.vx);
    m_vy->setValue(v.vy);
    m_mass->setValue(v.mass);
    m_aboveGround->setValue(v.aboveGround);
    m_heading->setValue(v.headingDegrees);
    m_phi->setValue(v.tiltPhiDegrees);
    m_theta->setValue(v.tiltThetaDegrees);
    m_level->setCurrentIndex(std::clamp(v.priority, 0, 2));
    m_continuous->setText(qText(v.continuousSound));
    m_impact->setText(qText(v.impactSound));
    for (size_t i = 0; i < 3; ++i)
        m_cab[i]->setValue(v.cabOffset[i]);
    m_cabModel->setText(qText(v.cabModelName));
    showTypeParts();
}

void CObjectPropertiesDlg::showTypeParts() {
    const int type = m_type->currentIndex();
    m_form->setRowVisible(m_sequence, PropertiesShowSequence(type));
    m_form->setRowVisible(m_sizeRow, m_showSize);
    m_form->setRowVisible(m_cabOffsetRow, PropertiesShowCab(type));
    m_form->setRowVisible(m_cabModelRow, PropertiesShowCab(type));
    m_chooseCab->setVisible(bool(chooseTopCrushModels));
    m_light->setVisible(PropertiesShowLight(type));
}

void CObjectPropertiesDlg::showEvent(QShowEvent* event) {
    showTypeParts(); // the cab choice may have been given after construction
    QDialog::showEvent(event);
}

ObjectPropertiesValues CObjectPropertiesDlg::values() const {
    ObjectPropertiesValues v = m_values;
    v.typeIndex = m_type->currentIndex();
    v.sequence = m_sequence->value();
    v.x = exactOr(m_x, m_initial.x);
    v.y = exactOr(m_y, m_initial.y);
    v.length = m_length->value();
    v.width = m_width->value();
    v.height = m_height->value();
    v.vx = exactOr(m_vx, m_initial.vx);
    v.vy = exactOr(m_vy, m_initial.vy);
    v.mass = m_mass->value();
    v.aboveGround = exactOr(m_aboveGround, m_values.aboveGround);
    v.headingDegrees = exactOr(m_heading, m_initial.headingDegrees);
    v.tiltPhiDegrees = exactOr(m_phi, m_initial.tiltPhiDegrees);
    v.tiltThetaDegrees = exactOr(m_theta, m_initial.tiltThetaDegrees);
    v.priority = m_level->currentIndex();
    v.continuousSound = m_continuous->text().trimmed().toStdString();
    v.impactSound = m_impact->text().trimmed().toStdString();
    for (size_t i = 0; i < 3; ++i)
        v.cabOffset[i] = m_cab[i]->value();
    return v;
}

void CObjectPropertiesDlg::stepKey(char key, bool shift, bool ctrl) {
    ObjectPropertiesValues v = values();
    if (!StepPropertiesField(v, key, shift, ctrl, m_sitUnits)) return;
    m_x->setValue(v.x);
    m_y->setValue(v.y);
    m_aboveGround->setValue(v.aboveGround);
    m_heading->setValue(v.headingDegrees);
    m_phi->setValue(v.tiltPhiDegrees);
    m_theta->setValue(v.tiltThetaDegrees);
}

bool CObjectPropertiesDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();
    if (mods & Qt::AltModifier || key->key() < Qt::Key_A || key->key() > Qt::Key_Z)
        return QDialog::eventFilter(watched, event);
    // Letters typed into a sound name stay there.
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && !edit->isReadOnly() && !qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
        return QDialog::eventFilter(watched, event);
    const char letter = char(key->key());
    if (std::string_view("DCFVSXRTGBHN").find(letter) == std::string_view::npos)
        return QDialog::eventFilter(watched, event);
    stepKey(letter, mods & Qt::ShiftModifier, mods & Qt::ControlModifier);
    return true;
}
