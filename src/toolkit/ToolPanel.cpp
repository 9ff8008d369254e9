// SPDX-License-Identifier: MIT
#include "toolkit/ToolPanel.h"

#include "widgets/Panel.h"
#include "widgets/TrackBar.h"

#include <QDialog>
#include <QEvent>
#include <QGraphicsItem>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// The window's rows: preview and panel side by side, and an optional strip under them.
QVBoxLayout* windowColumn(QDialog* window) {
    auto* column = new QVBoxLayout(window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

void addSideBySide(QDialog* window, QWidget* preview, QWidget* side) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(preview, 1);
    row->addWidget(side);
    windowColumn(window)->addLayout(row, 1);
}

// Moves a scrolling panel's foot buttons into a strip under the scroll box while the panel does not fit.
class PinnedButtons : public QObject {
public:
    PinnedButtons(QScrollArea* scroll, QWidget* panel, QWidget* strip, std::vector<QPushButton*> buttons)
        : QObject(scroll)
        , m_scroll(scroll)
        , m_panel(panel)
        , m_strip(strip)
        , m_buttons(std::move(buttons)) {
        for (QPushButton* button : m_buttons) {
            m_homes.push_back(button->parentWidget());
            m_places.push_back(button->geometry());
        }
        m_strip->setFixedHeight(int(m_buttons.size()) * 24);
        m_strip->hide();
        scroll->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            follow();
        return false;
    }

private:
    void follow() {
        // The room counts the strip while it is shown, so that showing it never undoes itself.
        const int room = m_scroll->height() + (m_pinned ? m_strip->height() : 0);
        const bool pinned = m_panel->height() > room;
        if (pinned == m_pinned)
            return;
        m_pinned = pinned;
        for (std::size_t i = 0; i < m_buttons.size(); ++i) {
            QPushButton* button = m_buttons[i];
            button->setParent(pinned ? m_strip : m_homes[i]);
            button->setGeometry(
                pinned ? QRect(m_places[i].x(), int(i) * 24 + 1, m_places[i].width(), m_places[i].height())
                       : m_places[i]);
            button->show();
        }
        m_strip->setVisible(pinned);
    }

    QScrollArea* m_scroll;
    QWidget* m_panel;
    QWidget* m_strip;
    std::vector<QPushButton*> m_buttons;
    std::vector<QWidget*> m_homes; // where each button stands while the panel fits
    std::vector<QRect> m_places;   // and its place there
    bool m_pinned = false;
};

// Clicks "Ok" for a Return that reached the window untaken.
class ReturnPressesOk : public QObject {
public:
    ReturnPressesOk(QDialog* window, QPushButton* ok)
        : QObject(window)
        , m_ok(ok) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier)
            return false;
        if (m_ok->isVisible() && m_ok->isEnabled())
            m_ok->click();
        return true;
    }

private:
    QPushButton* m_ok;
};

} // namespace

namespace {

// The panel sits in the scroll box's viewport, and the scroll box in a column of its own.
QScrollArea* scrollBoxOf(QWidget* scrollingPanel) {
    auto* scroll = qobject_cast<QScrollArea*>(scrollingPanel->parentWidget()->parentWidget());
    Q_ASSERT(scroll && qobject_cast<QVBoxLayout*>(scroll->parentWidget()->layout())); // addScrollingToolPanel
    return scroll;
}

} // namespace

QWidget* addStripUnderScrollingPanel(QWidget* scrollingPanel, const char* name) {
    auto* strip = new QWidget;
    strip->setObjectName(QString::fromLatin1(name));
    static_cast<QVBoxLayout*>(scrollBoxOf(scrollingPanel)->parentWidget()->layout())->addWidget(strip);
    return strip;
}

void keepInSightWhileScrolling(QWidget* scrollingPanel, std::initializer_list<QPushButton*> buttons) {
    QWidget* strip = addStripUnderScrollingPanel(scrollingPanel, "PinnedButtons");
    new PinnedButtons(scrollBoxOf(scrollingPanel), scrollingPanel, strip, buttons);
}

void pressOnReturn(QDialog* window, QPushButton* ok) {
    new ReturnPressesOk(window, ok);
}

QWidget* addToolPanel(QDialog* window, QWidget* preview, int width) {
    auto* panel = new QWidget;
    panel->setObjectName("Panel1");
    panel->setFixedWidth(width);
    panel->setMinimumHeight(697); // the design height: every control stays reachable
    addSideBySide(window, preview, panel);
    return panel;
}

QWidget* addScrollingToolPanel(QDialog* window, QWidget* preview, QSize panelSize, int scrollWidth,
                               const char* scrollName, const char* outerPanelName) {
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QString::fromLatin1(scrollName));
    scroll->setFixedWidth(scrollWidth);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* panel = new QWidget;
    panel->setFixedSize(panelSize);
    scroll->setWidget(panel);
    // The scroll box stands in a column of its own, which may also hold the strip of buttons kept in sight.
    auto* outer = new QWidget;
    if (outerPanelName)
        outer->setObjectName(QString::fromLatin1(outerPanelName));
    else
        panel->setObjectName("Panel1");
    outer->setFixedWidth(scrollWidth);
    auto* fill = new QVBoxLayout(outer);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->setSpacing(0);
    fill->addWidget(scroll, 1);
    addSideBySide(window, preview, outer);
    return panel;
}

QWidget* addStatusStrip(QDialog* window, const char* name, int height) {
    auto* strip = new QWidget;
    strip->setObjectName(QString::fromLatin1(name));
    strip->setFixedHeight(height);
    auto* column = qobject_cast<QVBoxLayout*>(window->layout());
    Q_ASSERT(column); // the panel comes first
    column->addWidget(strip);
    return strip;
}

TrackBar* addZoomGroup(Panel& panel, PlacementPreview::Controls& controls, const ZoomGroupLayout& layout) {
    panel.label(layout.label, "Zoom:", 56, layout.y);
    controls.zoom = panel.trackBar(layout.bar, 0, layout.y + 16, layout.barWidth, 20, 0.1, 10, 0.1);
    controls.restoreZoom =
        panel.button(layout.restore, QString::fromUtf8(layout.restoreText), 0, layout.y + 35, 140, 17);
    return controls.zoom;
}

void addPlacementSettingsGroup(Panel& panel, PlacementPreview::Controls& controls,
                               const PlacementSettingsLayout& layout) {
    const auto label = [&panel](const PlacedControl& at, const char* text) {
        panel.label(at.name, QString::fromUtf8(text), at.x, at.y);
    };
    const auto edit = [&panel](const PlacedControl& at, const char* button, const char* text) {
        return panel.numberEdit(at.name, button, QString::fromUtf8(text), at.x, at.y, at.width, at.height);
    };
    const auto button = [&panel](const PlacedControl& at, const char* text) {
        return panel.button(at.name, QString::fromUtf8(text), at.x, at.y, at.width, at.height);
    };
    label(layout.settingsLabel, "Settings:");
    label(layout.gripLabel, "Grip size:");
    controls.gripSize = edit(layout.gripSize, layout.gripSizeButton, "3");
    controls.restoreGripSize = button(layout.restoreGripSize, "Restore");
    label(layout.marginLabel, "Margin");
    label(layout.heightLabel, "Height:");
    controls.marginY = edit(layout.marginY, layout.marginYButton, "0");
    label(layout.widthLabel, "Width:");
    controls.marginX = edit(layout.marginX, layout.marginXButton, "0");
    controls.restoreMargins = button(layout.restoreMargins, "Restore");
    const PlacedControl& antiLag = layout.antiLag;
    controls.antiLag = panel.checkBox(antiLag.name, "Anti-lag mode", antiLag.x, antiLag.y, antiLag.width,
                                      antiLag.height, false);
}

OpacityGroup addOpacityGroup(Panel& panel, QGraphicsItem* item, const OpacityGroupLayout& layout) {
    panel.label(layout.label, "Opacity:", 48, layout.y);
    TrackBar* bar = panel.trackBar(layout.bar, 0, layout.y + 16, 140, 20, 0, 1, 1);
    QPushButton* restore = panel.button(layout.restore, "Restore", 0, layout.y + 35, 140, 17);
    QObject::connect(bar, &TrackBar::changed, bar, [item](double value) { item->setOpacity(value); });
    QObject::connect(restore, &QPushButton::clicked, bar, [bar] { bar->setValue(1); });
    return {bar, restore};
}

RotationGroup addRotationGroup(Panel& panel, const RotationGroupLayout& layout) {
    panel.label(layout.label, "Rotation:", 48, layout.y);
    RotationGroup group{panel.trackBar(layout.bar, 0, layout.y + 16, 140, 20, 0, 360, 0), {}};
    const char* texts[] = {"0°", "90°", "180°", "270°"};
    for (int i = 0; i < 4; ++i) {
        QPushButton* button = panel.button(layout.buttons[i], QString::fromUtf8(texts[i]), layout.buttonX[i],
                                           layout.y + layout.buttonsBelow, 33, 17);
        QObject::connect(button, &QPushButton::clicked, group.bar,
                         [bar = group.bar, angle = 90.0 * i] { bar->setValue(angle); });
        group.angles[std::size_t(i)] = button;
    }
    return group;
}

std::vector<QPushButton*> addBottomButtons(QWidget* panel, std::initializer_list<BottomButton> buttons) {
    auto* bottom = new QWidget(panel);
    bottom->setFixedHeight(int(buttons.size()) * 24 - 2);
    Panel place(bottom);
    std::vector<QPushButton*> made;
    int y = 0;
    for (const BottomButton& button : buttons) {
        made.push_back(place.button(button.name, QString::fromUtf8(button.text), 0, y, 140, 22));
        y += 24;
    }
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 1);
    column->addStretch(1);
    column->addWidget(bottom);
    return made;
}

OkCancel addOkCancel(QWidget* panel, const char* okName, const char* cancelName) {
    const std::vector<QPushButton*> buttons =
        addBottomButtons(panel, {{okName, "Ok"}, {cancelName, "Cancel"}});
    if (auto* window = qobject_cast<QDialog*>(panel->window()))
        pressOnReturn(window, buttons[0]);
    return {buttons[0], buttons[1]};
}
