// Identifiers shared by the resource script and the code.
#pragma once

#define IDD_SETUP 100
#define IDC_MAIN_PATH 101
#define IDC_CLIENT_PATH 102
#define IDC_STATUS 103
// The hidden labels of the two fields.
#define IDC_STATIC_LABEL 0xFFFF

#define MSG_COPY_NO_SPACE 2000
#define MSG_COPY_FAILED 2001
#define MSG_NO_MAIN_INSTALLATION 2002
#define MSG_DRIVE_UNAVAILABLE 2003
#define MSG_CLIENT_CREATE_FAILED 2005
#define MSG_INSTALL_DONE 2006
#define MSG_CLIENT_EXISTS_UPDATE 2007
#define MSG_FILE_KEPT_ASIDE 2008
#define MSG_CONFIG_NO_SPACE 2009
#define MSG_CONFIG_FAILED 2012
#define MSG_INSTALL_DONE_NO_SHORTCUT 2013
#define MSG_MAIN_PATH_NOT_ANSI 2014
#define MSG_CLIENT_PATH_NOT_ANSI 2015
#define MSG_CLIENT_IS_MAIN 2016
#define MSG_CLIENT_PATH_RELATIVE 2017
#define MSG_RUN_RECOVERED 2018
#define MSG_JOURNAL_UNREADABLE 2019

// The paths typed into the two fields are held in 151-character buffers.
#define SETUP_PATH_MAX 151

// Status line texts.
#define IDS_STATUS_COPYING 2010
#define IDS_STATUS_DONE 2011

// What the platform's accessibility interface reads: the dialog's name and the labels of
// the two fields, which the background picture shows.
#define IDS_DIALOG_NAME 2030
#define IDS_MAIN_PATH_LABEL 2031
#define IDS_CLIENT_PATH_LABEL 2032
