#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

// An object of an automation server, addressed the way Qt's ActiveX
// container addresses COM objects: members are named by their signature
// string ("Cells(int,int)", "Save()"), arguments and results are variants.
//
// Sub-objects returned by querySubObject() are children of the object they
// were obtained from, so deleting an object releases everything obtained
// through it.
//
// On this platform there is no COM: create() serves the ProgID
// "Excel.Application" with an in-process spreadsheet application that keeps
// its workbooks as real .xls files (see SpreadsheetObject).
class AutomationObject : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<AutomationObject *(const QString &progId, QObject *parent)>;

    // Starts (or attaches to) the server registered under progId; nullptr
    // when there is none.
    static AutomationObject *create(const QString &progId, QObject *parent = nullptr);
    // Replaces the server lookup (tests); an empty factory restores the
    // built-in one. Returns the previous factory.
    static Factory setFactory(Factory factory);

    // Calls the member or reads the property and returns the resulting
    // object (a child of this one), or nullptr.
    virtual AutomationObject *
    querySubObject(const char *name, const QVariant &v1 = QVariant(),
                   const QVariant &v2 = QVariant(), const QVariant &v3 = QVariant(),
                   const QVariant &v4 = QVariant(), const QVariant &v5 = QVariant(),
                   const QVariant &v6 = QVariant(), const QVariant &v7 = QVariant(),
                   const QVariant &v8 = QVariant()) = 0;
    // Calls the member; an invalid variant when the call failed.
    virtual QVariant dynamicCall(const char *name, const QVariant &v1 = QVariant(),
                                 const QVariant &v2 = QVariant(), const QVariant &v3 = QVariant(),
                                 const QVariant &v4 = QVariant(), const QVariant &v5 = QVariant(),
                                 const QVariant &v6 = QVariant(), const QVariant &v7 = QVariant(),
                                 const QVariant &v8 = QVariant()) = 0;
    // Server properties (these hide QObject's dynamic properties on purpose,
    // as the ActiveX container does).
    virtual QVariant property(const char *name) const = 0;
    virtual bool setProperty(const char *name, const QVariant &value) = 0;
    // True when the object stands for no server object (any longer).
    virtual bool isNull() const = 0;

protected:
    using QObject::QObject;
};
