#include "app/FileDialogFilter.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// "(*.sit;*.si2)" -> "(*.sit *.SIT *.si2 *.SI2)"; "*" stays as it is.
QString patternsInBothCases(const QString& patterns) {
    QStringList out;
    for (const QString& pattern :
         patterns.split(QRegularExpression(QStringLiteral("[;,\\s]+")), Qt::SkipEmptyParts))
        for (const QString& form : {pattern.toLower(), pattern.toUpper()})
            if (!out.contains(form)) out << form;
    return out.join(QLatin1Char(' '));
}

QString oneFilter(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) return filter;
    return filter.left(open + 1) + patternsInBothCases(filter.mid(open + 1, close - open - 1)) +
           filter.mid(close);
}

} // namespace

QString QtFileFilter(const QString& systemFilter) {
    QStringList filters;
    for (const QString& filter : systemFilter.split(QStringLiteral(";;")))
        filters << oneFilter(filter);
    return filters.join(QStringLiteral(";;"));
}
