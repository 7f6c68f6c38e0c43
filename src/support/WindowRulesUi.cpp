#include "support/WindowRulesUi.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

namespace {

const char* const kReadingOrder = "veldraneReadingOrder";
const char* const kListHeight = "veldraneListHeight";

bool TakesTabFocus(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

bool HoldsTabFocus(const QWidget* w) {
    const QList<QWidget*> below = w->findChildren<QWidget*>();
    return std::any_of(below.begin(), below.end(),
                       [w](const QWidget* c) { return c->window() == w->window() && TakesTabFocus(c); });
}

// Rows first, then left to right within a row: a widget belongs to the row
// when its top lies above the middle of every widget already in it.
void SortByReading(QList<QWidget*>& items) {
    std::stable_sort(items.begin(), items.end(), [](const QWidget* a, const QWidget* b) {
        return a->geometry().top() < b->geometry().top();
    });
    QList<QWidget*> out;
    for (qsizetype i = 0; i < items.size();) {
        qsizetype j = i + 1;
        int rowMiddle = items[i]->geometry().center().y();
        while (j < items.size() && items[j]->geometry().top() < rowMiddle) {
            rowMiddle = std::min(rowMiddle, items[j]->geometry().center().y());
            ++j;
        }
        QList<QWidget*> row = items.mid(i, j - i);
        std::stable_sort(row.begin(), row.end(), [](const QWidget* a, const QWidget* b) {
            return a->geometry().left() < b->geometry().left();
        });
        out += row;
        i = j;
    }
    items = out;
}

// A frame that holds focusable controls is read as one block, in its place.
void Collect(QWidget* container, QList<QWidget*>& order) {
    QList<QWidget*> items;
    for (QObject* o : container->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow()) continue;
        if (TakesTabFocus(w) || HoldsTabFocus(w)) items << w;
    }
    SortByReading(items);
    for (QWidget* w : items) {
        if (TakesTabFocus(w))
            order << w;
        else
            Collect(w, order);
    }
}

void ApplyReadingOrder(QWidget* window) {
    const QList<QWidget*> order = ReadingOrder(window);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// A list that pops up over the whole screen is hard to use: it drops down
// below its box and scrolls instead.
void KeepListHeight(QComboBox* box) {
    if (box->property(kListHeight).toBool()) return;
    box->setProperty(kListHeight, true);
    box->setMaxVisibleItems(std::min(box->maxVisibleItems(), kMaxDropDownRows));
    box->setStyleSheet(box->styleSheet() + QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

class WindowRules : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            return KeyPress(watched, static_cast<QKeyEvent*>(event));
        case QEvent::Show:
            if (auto* box = qobject_cast<QComboBox*>(watched);
                box && box->window()->property(kReadingOrder).toBool())
                KeepListHeight(box);
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow() && IsProgramForm(w))
                PrepareForm(w);
            break;
        default:
            break;
        }
        return false;
    }

  private:
    static bool KeyPress(QObject* watched, QKeyEvent* key) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::NoModifier) {
            // Users of this program expect Enter to press the focused button,
            // whatever its default-button settings.
            auto* button = qobject_cast<QPushButton*>(widget);
            if (!button || !button->isEnabled() || !button->isVisible()) return false;
            if (!key->isAutoRepeat()) button->click();
            return true;
        }
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // Laid out anew on every showing, so the order is taken when it
            // is used.
            QWidget* window = widget->window();
            if (window->property(kReadingOrder).toBool()) ApplyReadingOrder(window);
        }
        return false;
    }
};

} // namespace

bool IsProgramForm(const QWidget* window) {
    return window && window->objectName().startsWith(QLatin1String("frm"));
}

void InstallWindowRules() {
    static QPointer<WindowRules> rules;
    if (rules || !qApp) return;
    rules = new WindowRules(qApp);
    qApp->installEventFilter(rules);
}

QList<QWidget*> ReadingOrder(QWidget* window) {
    QList<QWidget*> order;
    if (window) Collect(window, order);
    return order;
}

void PrepareForm(QWidget* form) {
    InstallWindowRules();
    if (!form) return;
    form->setProperty(kReadingOrder, true);
    for (QComboBox* box : form->findChildren<QComboBox*>())
        KeepListHeight(box);
}
