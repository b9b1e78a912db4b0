#pragma once
// The windows of the controller database transfer and the actions that open them.
#include <QList>
#include <QString>
#include <functional>

class QWidget;

struct TTransferWindow
{
    QString Action;
    QString WindowClass;
    std::function<QWidget *(QWidget *owner)> Create;
};

const QList<TTransferWindow> &TransferWindows();
void RegisterTransferWindows();
