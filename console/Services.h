#pragma once
// The services the console offers to every module: who is logged in and the
// registers of users, partners and documents, and the document types' list.

#include "DocumentService.h"
#include "ItemTypeService.h"
#include "PartnerService.h"
#include "SecurityService.h"
