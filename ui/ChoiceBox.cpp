#include "ui/ChoiceBox.h"

#include <QComboBox>

void ChoiceBox::Fill(QComboBox* pBox, const Choices& choices, const QString& strStored,
                     const QString& strMissingLabel)
{
    pBox->clear();
    for (const auto& [strLabel, strValue] : choices)
        pBox->addItem(strLabel, strValue);
    if (pBox->findData(strStored) < 0)
        pBox->addItem(strMissingLabel.arg(strStored), strStored);
    pBox->setCurrentIndex(pBox->findData(strStored));
}

QString ChoiceBox::GetValue(const QComboBox* pBox)
{
    const int nIndex = pBox->isEditable() ? pBox->findText(pBox->currentText()) : pBox->currentIndex();
    return nIndex >= 0 ? pBox->itemData(nIndex).toString() : pBox->currentText().trimmed();
}
