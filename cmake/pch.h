#pragma once
#ifdef __cplusplus
#include <QtCore>
#include <QtGui>
#include <QtWidgets>
#include <QtSql>
#endif
