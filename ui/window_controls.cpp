#include "ui/window_controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStringList>
#include <QStyleOptionFocusRect>
#include <QValidator>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "engine/cell_names.h"
#include "engine/cell_text.h"
#include "ui/colour_contrast.h"
#include "ui/qt_text.h"

// The pictures and icons are compiled into this library; the linker keeps them only when
// something refers to them.
static void initialiseResources() {
    Q_INIT_RESOURCE(brimwell);
}

namespace brimwell::ui {

using engine::isPlainText;
using engine::kLongestCellText;
using engine::minimumLandingFuels;
using engine::Rgb;
using engine::Unit;
namespace cell = engine::cell;

namespace {

// Space kept between a caption's box and the control beside it, in pixels.
constexpr int kCaptionGap = 3;

int toPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

QColor toQColor(const Rgb& rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

// The layout places the controls in pixels at 96 dots per inch, so the fonts are sized in
// pixels of the same scale: text and boxes grow together on a scaled screen. Where the
// families of the layout are not installed, the nearest sans serif of like width stands in. The
// font names only the first of them that is installed, the one Qt would choose: given the
// whole list, Qt looks for every family before it in turn, and asks fontconfig for the
// substitutes of each one missing, for each size: some 6 % of the window's start-up.
QFont fontFor(const FontDescription& description) {
    QStringList families;
    if (description.family == "MS Sans Serif") {
        families = {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
    } else {
        families = {toQString(description.family), QStringLiteral("Liberation Sans")};
    }
    const QStringList installed = QFontDatabase::families();
    const auto first = std::find_if(families.begin(), families.end(), [&](const QString& family) {
        return installed.contains(family, Qt::CaseInsensitive);
    });
    if (first != families.end()) {
        families = {*first};
    } else {
        // Fontconfig's aliases, which Qt resolves itself.
        families.append(QStringLiteral("Helvetica"));
        families.append(QStringLiteral("sans-serif"));
    }
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

// A picture in a format that the reader is told: left to find the format itself, it would
// load every image format plugin to ask it first.
QPixmap readPicture(const QString& path, const char* format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon windowIcon(const WindowDescription& window) {
    QIcon icon;
    icon.addPixmap(readPicture(toQString(window.icon16), "png"));
    icon.addPixmap(readPicture(toQString(window.icon32), "png"));
    return icon;
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
    explicit FrameBox(QWidget* parent) : QGroupBox(parent) {}

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

// A text box holds one line of text to show: a paste of several lines, of an escape sequence or
// of a bidirectional control is refused whole (engine/cell_text.h), as the planner refuses it.
class PlainTextValidator final : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*position*/) const override {
        return isPlainText(input.toStdString()) ? Acceptable : Invalid;
    }
};

// A control with its font, given before its text so that the text is laid out once, in it.
QWidget* createControl(const ControlDescription& description, const QFont* font, QWidget* parent) {
    const QString caption = toQString(description.caption);
    const auto withFont = [font](auto* widget) {
        if (font != nullptr) {
            widget->setFont(*font);
        }
        return widget;
    };
    switch (description.kind) {
        case ControlKind::Frame: {
            auto* frame = withFont(new FrameBox(parent));
            frame->setTitle(caption);
            return frame;
        }
        case ControlKind::Label: {
            auto* label = withFont(new QLabel(parent));
            label->setTextFormat(Qt::PlainText);
            const Qt::Alignment across =
                description.alignment == Alignment::Centred ? Qt::AlignHCenter : Qt::AlignLeft;
            label->setAlignment(across | Qt::AlignTop);
            label->setText(caption);
            return label;
        }
        case ControlKind::TextBox: {
            auto* edit = withFont(new QLineEdit(parent));
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            edit->setReadOnly(description.locked);
            edit->setMaxLength(static_cast<int>(kLongestCellText));
            edit->setValidator(new PlainTextValidator(edit));
            edit->setText(caption);
            return edit;
        }
        case ControlKind::ComboBox: {
            auto* list = withFont(new QComboBox(parent));
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
            auto* button = withFont(new QPushButton(parent));
            button->setText(caption);
            button->setAutoDefault(false);
            return button;
        }
        case ControlKind::CheckBox:
            return withFont(new QCheckBox(parent));
        case ControlKind::PictureBox: {
            auto* picture = withFont(new PictureBox(parent));
            picture->setPixmap(readPicture(caption, "jpeg"));
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            picture->setFocusPolicy(Qt::StrongFocus);
            return picture;
        }
    }
    return nullptr;
}

// Where the typeface that stands in for the layout's is wider, a caption keeps its size and
// its box grows instead: into the free room towards the control on its right (the cell that
// it names), then to the left, never over another control of its row nor past its container.
// A caption of several lines keeps its width and grows downwards.
void makeRoomForCaption(QLabel& label) {
    const QFontMetrics metrics(label.font());
    QRect box = label.geometry();
    if (label.wordWrap()) {
        const QRect wrapped = metrics.boundingRect(QRect(0, 0, box.width(), QWIDGETSIZE_MAX),
                                                   Qt::TextWordWrap, label.text());
        box.setHeight(std::max(box.height(), wrapped.height()));
        label.setGeometry(box);
        return;
    }
    int missing = metrics.horizontalAdvance(label.text()) - box.width();
    if (missing <= 0) {
        return;
    }
    const QWidget& container = *label.parentWidget();
    int rightLimit = container.width() - kCaptionGap;
    int leftLimit = kCaptionGap;
    for (const QWidget* other : container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect place = other->geometry();
        const int shared =
            std::min(place.bottom(), box.bottom()) - std::max(place.top(), box.top());
        if (other == &label || 2 * shared < box.height()) {
            continue;  // not of the caption's row
        }
        if (place.center().x() > box.center().x()) {
            rightLimit = std::min(rightLimit, place.left() - kCaptionGap);
        } else {
            leftLimit = std::max(leftLimit, place.right() + 1 + kCaptionGap);
        }
    }
    const int right =
        std::clamp(box.right() + missing, box.right(), std::max(box.right(), rightLimit - 1));
    missing -= right - box.right();
    box.setRight(right);
    box.setLeft(std::max(box.left() - missing, std::min(box.left(), leftLimit)));
    label.setGeometry(box);
}

// Tab and Shift+Tab go from control to control in the order of the catalogue's tab indexes.
void orderFocusChain(const Controls& controls) {
    std::vector<const ControlDescription*> order;
    for (const ControlDescription& description : controlCatalogue()) {
        if (takesFocus(description.kind)) {
            order.push_back(&description);
        }
    }
    std::sort(order.begin(), order.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(controls.at(std::string(order[i - 1]->name)),
                             controls.at(std::string(order[i]->name)));
    }
}

}  // namespace

bool takesFocus(ControlKind kind) {
    return kind != ControlKind::Frame && kind != ControlKind::Label;
}

Controls buildWindow(QWidget& client) {
    initialiseResources();
    const WindowDescription& description = windowDescription();
    client.window()->setWindowTitle(toQString(description.title));
    client.window()->setWindowIcon(windowIcon(description));
    // Desktops (Wayland's among them) match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.brimwell"));

    Controls controls;
    // The layout uses eight fonts; each is made once.
    std::map<std::tuple<std::string_view, double, bool>, QFont> fonts;
    std::vector<QLabel*> captions;
    for (const ControlDescription& control : controlCatalogue()) {
        QWidget* container =
            control.container.empty() ? &client : controls.at(std::string(control.container));
        const QFont* font = nullptr;
        if (!control.font.family.empty()) {
            const auto key =
                std::make_tuple(control.font.family, control.font.points, control.font.bold);
            auto found = fonts.find(key);
            if (found == fonts.end()) {
                found = fonts.emplace(key, fontFor(control.font)).first;
            }
            font = &found->second;
        }
        QWidget* widget = createControl(control, font, container);
        widget->setObjectName(toQString(control.name));
        const Twips& place = control.place;
        widget->setGeometry(toPixels(place.left), toPixels(place.top), toPixels(place.width),
                            toPixels(place.height));
        if (!control.tooltip.empty()) {
            widget->setToolTip(toQString(control.tooltip));
        }
        if (!control.accessibleName.empty()) {
            widget->setAccessibleName(toQString(control.accessibleName));
        }
        if (!control.accessibleDescription.empty()) {
            widget->setAccessibleDescription(toQString(control.accessibleDescription));
        }
        if (control.kind == ControlKind::Label) {
            auto* label = static_cast<QLabel*>(widget);
            // A label two lines high or more wraps its caption.
            label->setWordWrap(label->height() >= 2 * QFontMetrics(label->font()).lineSpacing());
            captions.push_back(label);
        }
        controls.emplace(std::string(control.name), widget);
    }
    for (QLabel* caption : captions) {
        makeRoomForCaption(*caption);
    }
    applyColours(controls);

    // The window opens at the layout's client area, widened where a control would stand
    // partly outside it (the schematic's frame reaches 45 twips past the right edge).
    const int clientWidth = toPixels(description.clientWidth);
    QRect needed(0, 0, clientWidth, toPixels(description.clientHeight));
    for (const QWidget* child : client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        needed = needed.united(child->geometry());
    }
    client.resize(needed.width() + (needed.width() > clientWidth ? 2 : 0), needed.height());
    orderFocusChain(controls);
    return controls;
}

void showUnitTexts(const Controls& controls, Unit unit) {
    auto* list = qobject_cast<QComboBox*>(controls.at(std::string(cell::cmbMLF)));
    const auto items = minimumLandingFuels(unit);
    for (int i = 0; i < list->count(); ++i) {
        list->setItemText(i, toQString(items[static_cast<std::size_t>(i)]));
    }
    const auto catalogue = controlCatalogue();
    for (const KilogramText& text : kilogramTexts()) {
        const auto row = std::find_if(catalogue.begin(), catalogue.end(),
                                      [&](const auto& c) { return c.name == text.control; });
        const std::string_view inPounds = text.role == TextRole::Caption   ? row->caption
                                          : text.role == TextRole::Tooltip ? row->tooltip
                                                                           : row->accessibleName;
        const QString said = toQString(unit == Unit::Kilograms ? text.kilograms : inPounds);
        QWidget& widget = *controls.at(std::string(text.control));
        switch (text.role) {
            case TextRole::Caption:
                qobject_cast<QLabel*>(&widget)->setText(said);
                break;
            case TextRole::Tooltip:
                widget.setToolTip(said);
                break;
            case TextRole::AccessibleName:
                widget.setAccessibleName(said);
                break;
        }
    }
}

void applyColours(const Controls& controls) {
    for (const ControlDescription& control : controlCatalogue()) {
        if (!control.background && control.textColour.kind == TextColourKind::SystemDefault) {
            continue;  // the system's colours, which read well together
        }
        QWidget& widget = *controls.at(std::string(control.name));
        QColor text;
        switch (control.textColour.kind) {
            case TextColourKind::SystemDefault:
                break;
            case TextColourKind::Rgb:
                text = toQColor(control.textColour.rgb);
                break;
            case TextColourKind::SystemWindowFrame:
                text = QApplication::palette(&widget).color(QPalette::WindowText);
                break;
        }
        QPalette palette;
        if (control.background) {
            const QColor back = toQColor(*control.background);
            palette.setColor(QPalette::Base, back);
            if (control.kind == ControlKind::ComboBox) {
                palette.setColor(QPalette::Button, back);
            }
            if (!text.isValid() || contrast(text, back) < kLegibleContrast) {
                text = textColourOn(back);
            }
        } else {
            // The window's own palette: it changes before those of the widgets within it.
            text = legibleOn(text, widget.window()->palette().color(QPalette::Window));
        }
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::ButtonText, text);
        widget.setPalette(palette);
    }
}

}  // namespace brimwell::ui
