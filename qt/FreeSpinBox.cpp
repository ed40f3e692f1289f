#include "qt/FreeSpinBox.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "qt/Latin1.h"
#include "support/LeadingNumber.h"

namespace qtgui {

FreeSpinBox::FreeSpinBox(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), m_min(minimum), m_max(maximum) {
    setAccelerated(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setMaxLength(32);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 28);
}

QString FreeSpinBox::text() const { return lineEdit()->text(); }

void FreeSpinBox::setText(const QString& text) { lineEdit()->setText(text); }

// Steps from the whole part of what the field holds, then keeps to the range:
// from "2.5" up is 3, from "" up is the lowest value.
void FreeSpinBox::stepBy(int steps) {
    const double v = support::leadingNumber(toLatin1(text()));
    const double stepped = std::isfinite(v) ? std::floor(v) + steps : v;
    const double bounded = std::clamp(stepped, static_cast<double>(m_min), static_cast<double>(m_max));
    setText(QString::number(static_cast<int>(bounded)));
    lineEdit()->selectAll();
}

QValidator::State FreeSpinBox::validate(QString&, int&) const { return QValidator::Acceptable; }

void FreeSpinBox::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled FreeSpinBox::stepEnabled() const {
    const double v = support::leadingNumber(toLatin1(text()));
    StepEnabled e = StepNone;
    if (v < m_max) e |= StepUpEnabled;
    if (v > m_min) e |= StepDownEnabled;
    return e;
}

}  // namespace qtgui
