#pragma once
// The windows of the intersection data editors and the actions that open them.
#include <QList>
#include <QString>
#include <functional>

class QWidget;

struct TIntersectionWindow
{
    QString Action;
    QString WindowClass;
    std::function<QWidget *(QWidget *owner)> Create;
};

// The editors this library provides, by the main window's action names.
const QList<TIntersectionWindow> &IntersectionWindows();
void RegisterIntersectionWindows();
