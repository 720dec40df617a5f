#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>
#include <vector>

#include "engine/cell_names.h"
#include "engine/flight_data.h"
#include "report/print_command.h"
#include "report/qt/default_printer.h"
#include "ui/control_catalogue.h"

// The pictures and icons are compiled into this library; the linker keeps them only when
// something refers to them.
static void initialiseResources() {
    Q_INIT_RESOURCE(brimwell);
}

namespace brimwell {

namespace {

using ui::ControlDescription;
using ui::ControlKind;

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int toPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / ui::kTwipsPerPixel));
}

// The layout places the controls in pixels at 96 dots per inch, so the fonts are sized in
// pixels of the same scale: text and boxes grow together on a scaled screen. Where the
// families of the layout are not installed, the nearest sans serif of like width stands in.
QFont fontFor(const ui::FontDescription& description) {
    QStringList families;
    if (description.family == "MS Sans Serif") {
        families = {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
    } else {
        families = {toQString(description.family), QStringLiteral("Liberation Sans")};
    }
    families.append(QStringLiteral("Helvetica"));
    families.append(QStringLiteral("sans-serif"));
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(description.points * 96.0 / 72.0)));
    font.setBold(description.bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QColor toQColor(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// A picture box shows its photograph at its top-left corner. It takes the focus like any
// other control in the tab order, and shows a focus frame while it has it.
class PictureBox final : public QLabel {
  public:
    explicit PictureBox(QWidget* parent) : QLabel(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (hasFocus()) {
            QPainter painter(this);
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = rect().adjusted(1, 1, -1, -1);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
};

// A frame draws its caption on its top edge, the edge an etched line around the children.
class FrameBox final : public QGroupBox {
  public:
    FrameBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const int edge = metrics.height() / 2;
        const QRect box = rect().adjusted(0, edge, -2, -2);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(box);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(box.translated(1, 1));
        const QString caption = title();
        if (!caption.isEmpty()) {
            const QRect captionRect(6, 0, metrics.horizontalAdvance(caption) + 4, metrics.height());
            painter.fillRect(captionRect, palette().color(QPalette::Window));
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine, caption);
        }
    }
};

// Where the layout's font is not installed, the one that stands in may be a little wider:
// a label's font shrinks, within reason, until its caption fits its box, so that no caption
// is cut off. A label one line high shows one line.
void fitCaption(QLabel& label) {
    QFont font = label.font();
    const QString caption = label.text();
    const int smallest = font.pixelSize() * 4 / 5;
    const auto fits = [&](const QFont& candidate) {
        const QFontMetrics metrics(candidate);
        if (label.height() < 2 * metrics.lineSpacing()) {
            return metrics.horizontalAdvance(caption) <= label.width();
        }
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, label.width(), 10000), Qt::TextWordWrap, caption);
        return needed.height() <= label.height();
    };
    while (!fits(font) && font.pixelSize() > smallest) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    label.setFont(font);
    label.setWordWrap(label.height() >= 2 * QFontMetrics(font).lineSpacing());
}

QWidget* createControl(const ControlDescription& description, QWidget* parent) {
    const QString caption = toQString(description.caption);
    switch (description.kind) {
        case ControlKind::Frame:
            return new FrameBox(caption, parent);
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            label->setTextFormat(Qt::PlainText);
            const Qt::Alignment across =
                description.alignment == ui::Alignment::Centred ? Qt::AlignHCenter : Qt::AlignLeft;
            label->setAlignment(across | Qt::AlignTop);
            return label;
        }
        case ControlKind::TextBox: {
            auto* edit = new QLineEdit(caption, parent);
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            edit->setReadOnly(description.locked);
            return edit;
        }
        case ControlKind::ComboBox: {
            auto* list = new QComboBox(parent);
            for (const std::string_view item : description.list) {
                list->addItem(toQString(item));
            }
            list->setCurrentIndex(-1);
            // Only a list with the focus turns with the mouse wheel, and the wheel does not
            // take the focus past the check of the cell that holds it.
            list->setFocusPolicy(Qt::StrongFocus);
            return list;
        }
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(caption, parent);
            button->setAutoDefault(false);
            return button;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(parent);
        case ControlKind::PictureBox: {
            auto* picture = new PictureBox(parent);
            picture->setPixmap(QPixmap(caption));
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            picture->setFocusPolicy(Qt::StrongFocus);
            return picture;
        }
    }
    return nullptr;
}

void applyColours(const ControlDescription& description, QWidget& widget) {
    if (!description.background &&
        description.textColour.kind == ui::TextColourKind::SystemDefault) {
        return;
    }
    QPalette palette;
    if (description.background) {
        const QColor back = toQColor(*description.background);
        palette.setColor(QPalette::Base, back);
        if (description.kind == ControlKind::ComboBox) {
            palette.setColor(QPalette::Button, back);
        }
    }
    QColor text;
    switch (description.textColour.kind) {
        case ui::TextColourKind::SystemDefault:
            break;
        case ui::TextColourKind::Rgb:
            text = toQColor(description.textColour.rgb);
            break;
        case ui::TextColourKind::SystemWindowFrame:
            text = QApplication::palette(&widget).color(QPalette::WindowText);
            break;
    }
    if (text.isValid()) {
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::ButtonText, text);
    }
    widget.setPalette(palette);
}

bool takesFocus(ControlKind kind) {
    return kind != ControlKind::Frame && kind != ControlKind::Label;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent), m_printerFactory(&openDefaultPrinter) {
    initialiseResources();
    const ui::WindowDescription& window = ui::windowDescription();
    setWindowTitle(toQString(window.title));
    QIcon icon;
    icon.addFile(toQString(window.icon16), QSize(16, 16));
    icon.addFile(toQString(window.icon32), QSize(32, 32));
    if (QImageReader::supportedImageFormats().contains("svg")) {
        icon.addFile(toQString(window.iconScalable));
    }
    setWindowIcon(icon);
    buildControls();
    // The window opens at the layout's client area, widened where a control would stand
    // partly outside it (the schematic's frame reaches 45 twips past the right edge).
    QRect needed(0, 0, toPixels(window.clientWidth), toPixels(window.clientHeight));
    for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        needed = needed.united(child->geometry());
    }
    resize(needed.width() + (needed.width() > toPixels(window.clientWidth) ? 2 : 0),
           needed.height());
    m_cells = std::make_unique<ui::WindowCells>(*this);
    m_planner = std::make_unique<FuelPlanner>(*m_cells, *m_cells);
    connectHandlers();
    orderFocusChain();
    m_controls.at(std::string(cell::txtOriginICAO))->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

void MainWindow::setPrinterFactory(PrinterFactory factory) {
    m_printerFactory = std::move(factory);
}

void MainWindow::buildControls() {
    for (const ControlDescription& description : ui::controlCatalogue()) {
        QWidget* container = description.container.empty()
                                 ? this
                                 : m_controls.at(std::string(description.container));
        QWidget* widget = createControl(description, container);
        widget->setObjectName(toQString(description.name));
        const ui::Twips& place = description.place;
        widget->setGeometry(toPixels(place.left), toPixels(place.top), toPixels(place.width),
                            toPixels(place.height));
        if (!description.font.family.empty()) {
            widget->setFont(fontFor(description.font));
        }
        if (auto* label = qobject_cast<QLabel*>(widget);
            label != nullptr && description.kind == ControlKind::Label) {
            fitCaption(*label);
        }
        applyColours(description, *widget);
        if (!description.tooltip.empty()) {
            widget->setToolTip(toQString(description.tooltip));
        }
        if (!description.accessibleName.empty()) {
            widget->setAccessibleName(toQString(description.accessibleName));
        }
        if (!description.accessibleDescription.empty()) {
            widget->setAccessibleDescription(toQString(description.accessibleDescription));
        }
        if (takesFocus(description.kind)) {
            widget->installEventFilter(this);
        }
        m_controls.emplace(std::string(description.name), widget);
    }
    for (const std::string_view name : kDigitCells) {
        // Typed characters pass the key filter one by one; an input method would go round it.
        m_controls.at(std::string(name))->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
}

void MainWindow::connectHandlers() {
    const auto connectButton = [this](std::string_view name, void (MainWindow::*handler)()) {
        auto* button = qobject_cast<QPushButton*>(m_controls.at(std::string(name)));
        connect(button, &QPushButton::clicked, this, handler);
    };
    connectButton("cmdCalculate", &MainWindow::cmdCalculate_Click);
    connectButton("Command1", &MainWindow::Command1_Click);
    connectButton("Uscita", &MainWindow::Uscita_Click);
    connectButton("cmbPrint", &MainWindow::cmbPrint_Click);
}

void MainWindow::orderFocusChain() {
    std::vector<const ControlDescription*> order;
    for (const ControlDescription& description : ui::controlCatalogue()) {
        if (takesFocus(description.kind)) {
            order.push_back(&description);
        }
    }
    std::sort(order.begin(), order.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(m_controls.at(std::string(order[i - 1]->name)),
                             m_controls.at(std::string(order[i]->name)));
    }
}

// --- Buttons -----------------------------------------------------------------------------

void MainWindow::cmdCalculate_Click() {
    m_planner->cmdCalculate_Click();
}

// Clear: empties the fifteen results one after the other and gives the six that Calculate
// may colour back the window background. The inputs, txtBOW, cmbMLF and txtTFB stay.
void MainWindow::Command1_Click() {
    for (const std::string_view name : cell::kResults) {
        m_cells->setText(name, "");
        if (std::find(cell::kColoured.begin(), cell::kColoured.end(), name) !=
            cell::kColoured.end()) {
            m_cells->setBackground(name, Background::windowBackground());
        }
    }
}

// Exit: the window closes and, as it is the program's last, the program ends; nothing asks.
void MainWindow::Uscita_Click() {
    close();
}

void MainWindow::cmbPrint_Click() {
    try {
        std::unique_ptr<Printer> printer = m_printerFactory ? m_printerFactory() : nullptr;
        if (printer == nullptr) {
            throw PrintError("there is no printer");
        }
        brimwell::cmbPrint_Click(*m_cells, *printer);
    } catch (const PrintError& error) {
        ui::showWarning(this, QString::fromStdString(printFailureMessage(error)));
    } catch (const std::exception& error) {
        ui::showWarning(this,
                        QString::fromStdString(printFailureMessage(PrintError(error.what()))));
    }
}

// --- Key filters and limit checks --------------------------------------------------------

void MainWindow::txtDestinationDistance_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtWindIntensity_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtPayLoad_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtContingencyTime_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtTFB_KeyPress(std::int16_t& KeyAscii) {
    filterKey(KeyAscii);
}

void MainWindow::txtDestinationDistance_Validate(bool& Cancel) {
    checkLimit(cell::txtDestinationDistance, Cancel);
}

void MainWindow::txtWindIntensity_Validate(bool& Cancel) {
    checkLimit(cell::txtWindIntensity, Cancel);
}

void MainWindow::txtPayLoad_Validate(bool& Cancel) {
    checkLimit(cell::txtPayLoad, Cancel);
}

// An empty cell passes; a value above the limit, or pasted text that is not a whole number,
// shows the cell's warning and keeps the focus. The text stays as it is.
void MainWindow::checkLimit(std::string_view cellName, bool& Cancel) {
    const auto rule = fieldLimit(cellName);
    if (rule && isRefused(*rule, m_cells->text(cellName))) {
        ui::showWarning(this, toQString(rule->warning));
        Cancel = true;
    }
}

// The validate event of the cell being left, for the cells that have a handler for it.
void MainWindow::validate(std::string_view cellName, bool& Cancel) {
    if (cellName == cell::txtDestinationDistance) {
        txtDestinationDistance_Validate(Cancel);
    } else if (cellName == cell::txtWindIntensity) {
        txtWindIntensity_Validate(Cancel);
    } else if (cellName == cell::txtPayLoad) {
        txtPayLoad_Validate(Cancel);
    }
}

bool MainWindow::mayLeaveFocusFor(const QWidget* target) {
    const QWidget* current = focusWidget();
    if (current == nullptr || current == target) {
        return true;
    }
    bool Cancel = false;
    validate(current->objectName().toStdString(), Cancel);
    return !Cancel;
}

bool MainWindow::filterTypedKey(QWidget& cell, QKeyEvent& event) {
    void (MainWindow::*handler)(std::int16_t&) = nullptr;
    const std::string name = cell.objectName().toStdString();
    if (name == cell::txtDestinationDistance) {
        handler = &MainWindow::txtDestinationDistance_KeyPress;
    } else if (name == cell::txtWindIntensity) {
        handler = &MainWindow::txtWindIntensity_KeyPress;
    } else if (name == cell::txtPayLoad) {
        handler = &MainWindow::txtPayLoad_KeyPress;
    } else if (name == cell::txtContingencyTime) {
        handler = &MainWindow::txtContingencyTime_KeyPress;
    } else if (name == cell::txtTFB) {
        handler = &MainWindow::txtTFB_KeyPress;
    }
    const QString typed = event.text();
    // Control-key combinations (copy, paste, select all...) reach the cell as control
    // characters; Control with Alt is how some keyboards type characters, so those are
    // filtered.
    const Qt::KeyboardModifiers chord =
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (handler == nullptr || typed.isEmpty() || chord == Qt::ControlModifier ||
        chord == Qt::MetaModifier) {
        return false;
    }
    QString kept;
    for (const QChar character : typed) {
        // The Delete key types DEL (127) on the X11 desktop. It is an editing key, not a
        // character, and reaches the cell like Backspace.
        if (character.unicode() == 0x7f) {
            kept.append(character);
            continue;
        }
        // Character codes beyond the signed 16-bit range are no digits either.
        const auto code = std::min<int>(character.unicode(), 32767);
        auto KeyAscii = static_cast<std::int16_t>(code);
        (this->*handler)(KeyAscii);
        if (KeyAscii != 0) {
            kept.append(KeyAscii == code ? character : QChar(static_cast<char16_t>(KeyAscii)));
        }
    }
    if (kept == typed) {
        return false;
    }
    if (!kept.isEmpty()) {
        qobject_cast<QLineEdit*>(&cell)->insert(kept);
    }
    return true;
}

bool MainWindow::mayTakeClick(QWidget& clicked) {
    const QPointer<QWidget> cellLeft = std::exchange(m_cellLeftByClick, nullptr);
    if (cellLeft == nullptr || cellLeft == &clicked || focusWidget() != &clicked) {
        return true;
    }
    bool Cancel = false;
    validate(cellLeft->objectName().toStdString(), Cancel);
    if (Cancel && cellLeft != nullptr) {
        cellLeft->setFocus(Qt::OtherFocusReason);
    }
    return !Cancel;
}

bool MainWindow::pressButtonByAccessKey(QWidget& button) {
    if (mayLeaveFocusFor(&button)) {
        button.setFocus(Qt::ShortcutFocusReason);
        qobject_cast<QAbstractButton*>(&button)->click();
    }
    return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto& key = static_cast<QKeyEvent&>(*event);
            const bool focusKey = key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
            if (focusKey && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                return !mayLeaveFocusFor(nullptr);
            }
            return filterTypedKey(*widget, key);
        }
        case QEvent::FocusOut:
            // A click gives the focus to the clicked control before the click reaches it; the
            // cell so left is checked when the click arrives.
            if (static_cast<QFocusEvent&>(*event).reason() == Qt::MouseFocusReason &&
                fieldLimit(widget->objectName().toStdString())) {
                m_cellLeftByClick = widget;
            }
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return !mayTakeClick(*widget);
        case QEvent::Shortcut:
            if (qobject_cast<QAbstractButton*>(widget) != nullptr) {
                return pressButtonByAccessKey(*widget);
            }
            return false;
        case QEvent::Wheel:
            return qobject_cast<QComboBox*>(widget) != nullptr && !widget->hasFocus();
        default:
            return QWidget::eventFilter(watched, event);
    }
}

}  // namespace brimwell
