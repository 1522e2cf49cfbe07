#pragma once
// The imaging classes report failures as numbered errors, like the rest of the
// program's run-time errors: a number the caller can test and a text it can log.
#include <QString>
#include <stdexcept>

class ImagingError : public std::runtime_error
{
public:
    // Numbers shared with the program's run-time error log.
    static constexpr int Overflow = 6;
    static constexpr int DivisionByZero = 11;
    static constexpr int DibNotCreated = -1;
    static constexpr int DibCreateFailed = 825;

    ImagingError(int number, const QString &description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
    {
    }

    int number() const { return m_number; }
    const QString &description() const { return m_description; }

    static ImagingError overflow() { return ImagingError(Overflow, QStringLiteral("Overflow")); }
    static ImagingError divisionByZero()
    {
        return ImagingError(DivisionByZero, QStringLiteral("Division by zero"));
    }

private:
    int m_number;
    QString m_description;
};
