#pragma once
// Everything a form needs of the framework; the generated bases include this.

#include "platform/forms/FormQueries.h"
#include "platform/forms/GuiCall.h"
#include "platform/forms/UserNumber.h"
#include "platform/forms/WChoiceControls.h"
#include "platform/forms/WControls.h"
#include "platform/forms/WDateControl.h"
#include "platform/forms/WEvents.h"
#include "platform/forms/WExeApplication.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WGrid.h"
#include "platform/forms/WListBox.h"
#include "platform/forms/WListView.h"
#include "platform/forms/WMenu.h"
#include "platform/forms/WPrompter.h"
#include "platform/forms/WRowBinding.h"
