#include "qt/FreeSpinBox.h"

#include <QLineEdit>

#include "qt/Latin1.h"
#include "support/LeadingNumber.h"

namespace qtgui {

FreeSpinBox::FreeSpinBox(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), m_min(minimum), m_max(maximum) {
    setAccelerated(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 28);
}

QString FreeSpinBox::text() const { return lineEdit()->text(); }

void FreeSpinBox::setText(const QString& text) { lineEdit()->setText(text); }

void FreeSpinBox::setMaxLength(int characters) { lineEdit()->setMaxLength(characters); }

// Steps from the whole part of what the field holds, then keeps to the range:
// from "2.5" up is 3, from "" up is the lowest value.
void FreeSpinBox::stepBy(int steps) {
    setText(fromLatin1(support::steppedNumber(toLatin1(text()), steps, m_min, m_max)));
    lineEdit()->selectAll();
}

// A text that is already something else (a stored value) may still be
// shortened and corrected.
QValidator::State FreeSpinBox::validate(QString& input, int&) const {
    if (!m_accepts || m_accepts(toLatin1(input))) return QValidator::Acceptable;
    return input.size() < text().size() ? QValidator::Intermediate : QValidator::Invalid;
}

void FreeSpinBox::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled FreeSpinBox::stepEnabled() const {
    const double v = support::leadingNumber(toLatin1(text()));
    StepEnabled e = StepNone;
    if (v < m_max) e |= StepUpEnabled;
    if (v > m_min) e |= StepDownEnabled;
    return e;
}

}  // namespace qtgui
