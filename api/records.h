// The company's records as they lie in the data files: packed,
// little-endian, each field at the offset its file gives it.  Every
// record here is byte-exact; the static_asserts hold each offset and size.
// Bytes that no dialog of this module names are kept as reservedNNN arrays
// (NNN = their offset) and written back as they were read.
//
// Texts are char[n] holding at most n-1 characters and a terminating zero.
// Dates are WORD date numbers (1 = 01/01/1980, 0 = no date).
//
// host/data/record_fields.cpp lists every field of every record by name; a field
// added here must be added there too (its tables must tile each record).
#pragma once

#include <cstddef>
#include <cstdint>

#include "win32.h"

#pragma pack(push, 1)

// Record 1 of data file 0: the company setup record.  The general part,
// then the customer block (435-736), the supplier block (737-860) and the
// product block (861-884); the fields of the financial year, invoicing,
// system information and the base currency lie further on.
struct setupmap {
  BYTE reserved0[3];
  char companyName[61];
  char addressLine[5][61];
  char password[11];  // 10 characters padded with spaces, in converted form
  char addressLabel[5][11];
  // Customer block.
  char customerAnalysisLabel[3][11];
  char custNominalCode[9];
  char custTerms[31];
  BYTE custCurrency;        // index in the currency list
  BYTE custDiscountType;    // 0-6: none, invoice value, quantity tables A-E
  BYTE custCalendarAgeing;  // 1: age by calendar month
  double custCreditLimit;
  double custSettlementDiscount;
  double custDiscountRate;
  double custDiscountValues[10];
  double custDiscountRates[10];
  WORD custAgeingPeriods[4];  // first day of each period
  WORD custDepartment;        // index in the department list
  WORD custSettlementDays;
  WORD custPaymentDays;
  WORD custTaxCode;  // index in the tax code list
  BYTE reserved711[2];
  double callChargeRate;
  BYTE reserved721[16];
  // Supplier block.
  char supplierAnalysisLabel[3][11];
  char suppNominalCode[9];
  char suppTerms[31];
  BYTE suppCurrency;
  BYTE reserved811[1];
  BYTE suppCalendarAgeing;
  double suppCreditLimit;
  double suppSettlementDiscount;
  BYTE reserved829[8];
  WORD suppAgeingPeriods[4];
  WORD suppDepartment;
  WORD suppSettlementDays;
  WORD suppPaymentDays;
  WORD suppTaxCode;
  BYTE reserved853[8];
  // Product block.
  char prodNominalCode[9];
  char prodUnitOfSale[9];
  WORD prodDepartment;
  WORD prodTaxCode;
  WORD prodCategory;  // category number, 1-based
  BYTE reserved885[5];
  WORD printEndBanner;
  BYTE reserved892[2];
  WORD accessRights;
  WORD listUpdate[11];  // ledger, lazy, balance, aged balance, activities
  BYTE reserved918[14];
  std::int16_t prodUnitDecimals;
  std::int16_t prodQuantityDecimals;
  WORD itemVatAmendable;
  // The company's wallpaper: what a user without a choice of the own sees.
  char wallpaperFile[260];
  BYTE wallpaperPosition;  // 0-8: top left .. centred
  BYTE wallpaperShown;
  BYTE reserved1200[2134];
  BYTE fyStartMonth;  // 0 = January .. 11 = December
  WORD fyStartYear;   // full year
  BYTE reserved3337[4];
  BYTE vatCashAccounting;
  BYTE reserved3342[3];
  WORD excludeDeleted;
  WORD retiredParamFlag;
  WORD copySkeletonValues;
  BYTE reserved3351[262];
  BYTE invAccountRefDefault;
  BYTE invItemsQuantity;
  BYTE invUpdateOrderNo;
  BYTE invDiscountUnitPrice;
  char invServiceText[61];
  WORD nonVatableTaxCode;  // index in the tax code list
  BYTE noVisaWarning;
  BYTE noRecurringAtStartup;
  BYTE reserved3682[1];
  WORD custFutureTotals;
  WORD suppFutureTotals;
  BYTE printNameOnStationery;
  BYTE reserved3688[18];
  WORD workclockLink;
  WORD lastBackupDate;  // date number
  char telephone[31];
  char fax[31];
  char vatRegNo[31];
  char creditRefNo[61];
  BYTE invUpdateCustDept;
  BYTE invUseServiceText;
  WORD auditClearedDate;  // date number, 0: never cleared
  WORD displayAccountStatus;
  WORD custAccountStatus;
  WORD suppAccountStatus;
  BYTE reserved3874[82];
  double baseEuroRate;
  BYTE reserved3964[4];
  char email[256];
  char www[256];
  BYTE reserved4480[35];
  WORD groupBankRecItems;
  WORD listPpSrBySplit;
  BYTE reserved4519[15];
  WORD ageDisputesAsCurrent;
  BYTE reserved4536[4];
  WORD chequeLinesPerPage;
  BYTE reserved4542[4];
  WORD baseCurrency;  // index 0-98 (record number - 1); the dialogs read it signed
  WORD allowNegativeStock;
  BYTE reserved4550[233];
};
static_assert(offsetof(setupmap, companyName) == 3);
static_assert(offsetof(setupmap, addressLine) == 64);
static_assert(offsetof(setupmap, password) == 369);
static_assert(offsetof(setupmap, addressLabel) == 380);
static_assert(offsetof(setupmap, customerAnalysisLabel) == 435);
static_assert(offsetof(setupmap, custNominalCode) == 468);
static_assert(offsetof(setupmap, custTerms) == 477);
static_assert(offsetof(setupmap, custCurrency) == 508);
static_assert(offsetof(setupmap, custDiscountType) == 509);
static_assert(offsetof(setupmap, custCalendarAgeing) == 510);
static_assert(offsetof(setupmap, custCreditLimit) == 511);
static_assert(offsetof(setupmap, custSettlementDiscount) == 519);
static_assert(offsetof(setupmap, custDiscountRate) == 527);
static_assert(offsetof(setupmap, custDiscountValues) == 535);
static_assert(offsetof(setupmap, custDiscountRates) == 615);
static_assert(offsetof(setupmap, custAgeingPeriods) == 695);
static_assert(offsetof(setupmap, custDepartment) == 703);
static_assert(offsetof(setupmap, custSettlementDays) == 705);
static_assert(offsetof(setupmap, custPaymentDays) == 707);
static_assert(offsetof(setupmap, custTaxCode) == 709);
static_assert(offsetof(setupmap, callChargeRate) == 713);
static_assert(offsetof(setupmap, supplierAnalysisLabel) == 737);
static_assert(offsetof(setupmap, suppNominalCode) == 770);
static_assert(offsetof(setupmap, suppTerms) == 779);
static_assert(offsetof(setupmap, suppCurrency) == 810);
static_assert(offsetof(setupmap, suppCalendarAgeing) == 812);
static_assert(offsetof(setupmap, suppCreditLimit) == 813);
static_assert(offsetof(setupmap, suppSettlementDiscount) == 821);
static_assert(offsetof(setupmap, suppAgeingPeriods) == 837);
static_assert(offsetof(setupmap, suppDepartment) == 845);
static_assert(offsetof(setupmap, suppSettlementDays) == 847);
static_assert(offsetof(setupmap, suppPaymentDays) == 849);
static_assert(offsetof(setupmap, suppTaxCode) == 851);
static_assert(offsetof(setupmap, prodNominalCode) == 861);
static_assert(offsetof(setupmap, prodUnitOfSale) == 870);
static_assert(offsetof(setupmap, prodDepartment) == 879);
static_assert(offsetof(setupmap, prodTaxCode) == 881);
static_assert(offsetof(setupmap, prodCategory) == 883);
static_assert(offsetof(setupmap, printEndBanner) == 890);
static_assert(offsetof(setupmap, accessRights) == 894);
static_assert(offsetof(setupmap, listUpdate) == 896);
static_assert(offsetof(setupmap, prodUnitDecimals) == 932);
static_assert(offsetof(setupmap, prodQuantityDecimals) == 934);
static_assert(offsetof(setupmap, itemVatAmendable) == 936);
static_assert(offsetof(setupmap, wallpaperFile) == 938);
static_assert(offsetof(setupmap, wallpaperPosition) == 1198);
static_assert(offsetof(setupmap, wallpaperShown) == 1199);
static_assert(offsetof(setupmap, fyStartMonth) == 3334);
static_assert(offsetof(setupmap, fyStartYear) == 3335);
static_assert(offsetof(setupmap, vatCashAccounting) == 3341);
static_assert(offsetof(setupmap, excludeDeleted) == 3345);
static_assert(offsetof(setupmap, retiredParamFlag) == 3347);
static_assert(offsetof(setupmap, copySkeletonValues) == 3349);
static_assert(offsetof(setupmap, invAccountRefDefault) == 3613);
static_assert(offsetof(setupmap, invItemsQuantity) == 3614);
static_assert(offsetof(setupmap, invUpdateOrderNo) == 3615);
static_assert(offsetof(setupmap, invDiscountUnitPrice) == 3616);
static_assert(offsetof(setupmap, invServiceText) == 3617);
static_assert(offsetof(setupmap, nonVatableTaxCode) == 3678);
static_assert(offsetof(setupmap, noVisaWarning) == 3680);
static_assert(offsetof(setupmap, noRecurringAtStartup) == 3681);
static_assert(offsetof(setupmap, custFutureTotals) == 3683);
static_assert(offsetof(setupmap, suppFutureTotals) == 3685);
static_assert(offsetof(setupmap, printNameOnStationery) == 3687);
static_assert(offsetof(setupmap, workclockLink) == 3706);
static_assert(offsetof(setupmap, lastBackupDate) == 3708);
static_assert(offsetof(setupmap, telephone) == 3710);
static_assert(offsetof(setupmap, fax) == 3741);
static_assert(offsetof(setupmap, vatRegNo) == 3772);
static_assert(offsetof(setupmap, creditRefNo) == 3803);
static_assert(offsetof(setupmap, invUpdateCustDept) == 3864);
static_assert(offsetof(setupmap, invUseServiceText) == 3865);
static_assert(offsetof(setupmap, auditClearedDate) == 3866);
static_assert(offsetof(setupmap, displayAccountStatus) == 3868);
static_assert(offsetof(setupmap, custAccountStatus) == 3870);
static_assert(offsetof(setupmap, suppAccountStatus) == 3872);
static_assert(offsetof(setupmap, baseEuroRate) == 3956);
static_assert(offsetof(setupmap, email) == 3968);
static_assert(offsetof(setupmap, www) == 4224);
static_assert(offsetof(setupmap, groupBankRecItems) == 4515);
static_assert(offsetof(setupmap, listPpSrBySplit) == 4517);
static_assert(offsetof(setupmap, ageDisputesAsCurrent) == 4534);
static_assert(offsetof(setupmap, chequeLinesPerPage) == 4540);
static_assert(offsetof(setupmap, baseCurrency) == 4546);
static_assert(offsetof(setupmap, allowNegativeStock) == 4548);
static_assert(sizeof(setupmap) == 4783);

// One of the hundred tax codes T0-T99 of the control record.
struct taxcodemap {
  double rate;  // percent
  BYTE inUse;   // nonzero: included in the VAT return
  BYTE ecSales;
  BYTE ecPurchases;
  std::int8_t link;  // index 0-99 of the linked tax code
};
static_assert(offsetof(taxcodemap, rate) == 0);
static_assert(offsetof(taxcodemap, inUse) == 8);
static_assert(offsetof(taxcodemap, ecSales) == 9);
static_assert(offsetof(taxcodemap, ecPurchases) == 10);
static_assert(offsetof(taxcodemap, link) == 11);
static_assert(sizeof(taxcodemap) == 12);

// Record 1 of data file 18: the fifteen control-account slots, the counts
// and the hundred tax codes.  The record's length is ours to choose: the
// slots fill 0-59, the three counts 60-71 (the splits at 68), 72-79 are
// spare, and the tax code table that starts at 80 ends the record at 1280.
struct contmap {
  DWORD controlRec[15];  // nominal record number of each slot's account, 0: none
  DWORD headerCount;
  DWORD usageCount;
  DWORD splitCount;  // nonzero once transactions exist
  BYTE reserved72[8];
  taxcodemap taxCode[100];
};
static_assert(offsetof(contmap, controlRec) == 0);
static_assert(offsetof(contmap, headerCount) == 60);
static_assert(offsetof(contmap, usageCount) == 64);
static_assert(offsetof(contmap, splitCount) == 68);
static_assert(offsetof(contmap, taxCode) == 80);
static_assert(sizeof(contmap) == 1280);

// A record of data file 31, the user and password file; the current
// user's record is also held in the global block (with the password then
// readable).  The record's length is ours to choose: 512 leaves room after
// the private list-update flags.
struct accessmap {
  char logonName[33];
  char password[11];      // in the file: 10 characters padded with spaces, converted
  double callChargeRate;  // the user's own default call-charge rate (with access rights on)
  // The user's own wallpaper, which counts once ownWallpaper is set.
  char wallpaperFile[260];
  BYTE wallpaperPosition;
  BYTE wallpaperShown;
  BYTE ownWallpaper;
  BYTE reserved315[149];
  WORD listUpdate[11];  // the user's own copy of setupmap.listUpdate
  BYTE reserved486[26];
};
static_assert(offsetof(accessmap, logonName) == 0);
static_assert(offsetof(accessmap, password) == 33);
static_assert(offsetof(accessmap, callChargeRate) == 44);
static_assert(offsetof(accessmap, wallpaperFile) == 52);
static_assert(offsetof(accessmap, ownWallpaper) == 314);
static_assert(offsetof(accessmap, listUpdate) == 464);
static_assert(sizeof(accessmap) == 512);

// Kind bits of nommap.typeFlags.
enum NominalTypeFlags : BYTE {
  NOMINAL_ORDINARY = 1,
  NOMINAL_BANK = 2,
  NOMINAL_CONTROL = 4,
};

// A record of data file 10, the nominal accounts.
struct nommap {
  char code[9];
  char name[61];  // the account's name, terminated; shown by the account finder
  BYTE reserved70[21];
  BYTE typeFlags;  // NominalTypeFlags
  BYTE reserved92[199];
  double balance;
  BYTE reserved299[336];
  DWORD tranLink1;  // 0 while nothing has been posted
  DWORD tranLink2;
  BYTE reserved643[8];
};
static_assert(offsetof(nommap, code) == 0);
static_assert(offsetof(nommap, name) == 9);
static_assert(offsetof(nommap, typeFlags) == 91);
static_assert(offsetof(nommap, balance) == 291);
static_assert(offsetof(nommap, tranLink1) == 635);
static_assert(offsetof(nommap, tranLink2) == 639);
static_assert(sizeof(nommap) == 651);

// A record of data file 32, the action file: one per logged-in user
// (kind 7) and one per multi-user action held.
struct actionmap {
  WORD state;        // 0: current
  char user[33];     // terminated
  char machine[33];  // terminated, may be padded with spaces
  WORD kind;         // 7: logged in; else the action identifier
  BYTE reserved70[2];
  char details[9];
  BYTE reserved81[3];
};
static_assert(offsetof(actionmap, state) == 0);
static_assert(offsetof(actionmap, user) == 2);
static_assert(offsetof(actionmap, machine) == 35);
static_assert(offsetof(actionmap, kind) == 68);
static_assert(offsetof(actionmap, details) == 72);
static_assert(sizeof(actionmap) == 84);

// Bits of currmap.flags.
enum CurrencyFlags : WORD {
  CURRENCY_EURO_MEMBER = 1,
  CURRENCY_BASE = 2,
};

// A record of data file 20, the currencies: records 1-99.
struct currmap {
  char name[31];
  char country[31];
  char ecMember[4];  // as typed, not interpreted
  double exchangeRate;
  WORD flags;       // CurrencyFlags
  double euroRate;  // one euro in this currency
};
static_assert(offsetof(currmap, name) == 0);
static_assert(offsetof(currmap, country) == 31);
static_assert(offsetof(currmap, ecMember) == 62);
static_assert(offsetof(currmap, exchangeRate) == 66);
static_assert(offsetof(currmap, flags) == 74);
static_assert(offsetof(currmap, euroRate) == 76);
static_assert(sizeof(currmap) == 84);

// A record of data file 48, the finance charge rates; a free slot has
// deleted nonzero.
struct finratemap {
  WORD deleted;
  WORD dateFrom;  // date number
  double baseRate;
  double additionalRate;
};
static_assert(offsetof(finratemap, deleted) == 0);
static_assert(offsetof(finratemap, dateFrom) == 2);
static_assert(offsetof(finratemap, baseRate) == 4);
static_assert(offsetof(finratemap, additionalRate) == 12);
static_assert(sizeof(finratemap) == 20);

// A record of data file 49, the account statuses: record n is status n-1.
struct accstatusmap {
  char description[61];  // padded with spaces to 60
  BYTE onHold;           // 1: on hold; any other value: not
};
static_assert(offsetof(accstatusmap, description) == 0);
static_assert(offsetof(accstatusmap, onHold) == 61);
static_assert(sizeof(accstatusmap) == 62);

// A record of data file 7, the product categories: record n is category n.
struct prodcatmap {
  char name[31];
};
static_assert(offsetof(prodcatmap, name) == 0);
static_assert(sizeof(prodcatmap) == 31);

// A record of data file 19, the departments: department list row r is
// record r + 2, so record 1 holds none.
struct deptmap {
  char name[31];
};
static_assert(offsetof(deptmap, name) == 0);
static_assert(sizeof(deptmap) == 31);

// A record of data file 35, the fixed asset categories: record n is
// category n, n = 1 to 99.
struct assetcatmap {
  char name[61];  // padded with spaces to 60
};
static_assert(offsetof(assetcatmap, name) == 0);
static_assert(sizeof(assetcatmap) == 61);

#pragma pack(pop)
