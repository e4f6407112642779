#include "ItemTextOrder.h"

#include <QCollator>

int CompareItemTexts(const QString& A, const QString& B) {
    // One collator per thread: building one per comparison would cost more than the comparison itself.
    thread_local const QCollator Collator = [] {
        QCollator C;
        C.setCaseSensitivity(Qt::CaseInsensitive);
        return C;
    }();
    return Collator.compare(A, B);
}
