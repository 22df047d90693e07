' The declarant records (emitter, taxpayer, preparer): every property
' stored and read back unchanged, the street number's limit, and what a
' careless host sends: wrong types, arrays, Nothing, Null, huge texts.
Dim emetteur, redevable, redacteur, nom, objet, texte, enorme

On Error Resume Next
Set emetteur = CreateObject("Qx_TVA.Cls_Emetteur")
Set redevable = CreateObject("Qx_TVA.Cls_Redevable")
Set redacteur = CreateObject("Qx_TVA.Cls_Redacteur")
VerifierSucces "creation des trois enregistrements"

' A new record holds empty texts and a street number of 0; each text
' property keeps what it is given, accents included.
Sub Aller_Retour(objet, noms, classe)
    Dim nom, texte, vides, rendus
    vides = 0
    rendus = 0
    For Each nom In noms
        If CallByNameGet(objet, nom) = "" Then vides = vides + 1
        texte = "Soci" & e_aigu & "t" & e_aigu & " " & nom
        CallByNameLet objet, nom, texte
        If CallByNameGet(objet, nom) = texte Then rendus = rendus + 1
    Next
    Verifier Err.Number = 0, classe & " sans erreur (" & Err.Number & " " & Err.Description & ")"
    Err.Clear
    Verifier vides = UBound(noms) + 1, classe & " : textes vides au depart (" & vides & ")"
    Verifier rendus = UBound(noms) + 1, classe & " : textes rendus tels quels (" & rendus & ")"
End Sub
' VBScript has neither CallByName nor Execute under Wine: one case per name.
Function CallByNameGet(o, nom)
    Select Case nom
        Case "vCode": CallByNameGet = o.vCode
        Case "vNom": CallByNameGet = o.vNom
        Case "vEmail": CallByNameGet = o.vEmail
        Case "vSMS": CallByNameGet = o.vSMS
        Case "vCodeApplication": CallByNameGet = o.vCodeApplication
        Case "vNomApplication": CallByNameGet = o.vNomApplication
        Case "vVersionApplication": CallByNameGet = o.vVersionApplication
        Case "vFRP": CallByNameGet = o.vFRP
        Case "vSIRET": CallByNameGet = o.vSIRET
        Case "vOCFI": CallByNameGet = o.vOCFI
        Case "vTVAIntracom": CallByNameGet = o.vTVAIntracom
        Case "vNomSociete": CallByNameGet = o.vNomSociete
        Case "vRepresentant": CallByNameGet = o.vRepresentant
        Case "vFonction": CallByNameGet = o.vFonction
        Case "vTelephone": CallByNameGet = o.vTelephone
        Case "vDateRedressement": CallByNameGet = o.vDateRedressement
        Case "vAdr_BureauDistrib": CallByNameGet = o.vAdr_BureauDistrib
        Case "vAdr_Bureau_Distrib": CallByNameGet = o.vAdr_Bureau_Distrib
        Case "vAdr_Code_Etendu": CallByNameGet = o.vAdr_Code_Etendu
        Case "vAdr_Code_INSEE": CallByNameGet = o.vAdr_Code_INSEE
        Case "vAdr_CodePays": CallByNameGet = o.vAdr_CodePays
        Case "vAdr_CodePostal": CallByNameGet = o.vAdr_CodePostal
        Case "vAdr_Complement": CallByNameGet = o.vAdr_Complement
        Case "vAdr_Entree": CallByNameGet = o.vAdr_Entree
        Case "vAdr_Pays": CallByNameGet = o.vAdr_Pays
        Case "vAdr_Ville": CallByNameGet = o.vAdr_Ville
        Case "vAdr_Voie": CallByNameGet = o.vAdr_Voie
    End Select
End Function
Sub CallByNameLet(o, nom, v)
    Select Case nom
        Case "vCode": o.vCode = v
        Case "vNom": o.vNom = v
        Case "vEmail": o.vEmail = v
        Case "vSMS": o.vSMS = v
        Case "vCodeApplication": o.vCodeApplication = v
        Case "vNomApplication": o.vNomApplication = v
        Case "vVersionApplication": o.vVersionApplication = v
        Case "vFRP": o.vFRP = v
        Case "vSIRET": o.vSIRET = v
        Case "vOCFI": o.vOCFI = v
        Case "vTVAIntracom": o.vTVAIntracom = v
        Case "vNomSociete": o.vNomSociete = v
        Case "vRepresentant": o.vRepresentant = v
        Case "vFonction": o.vFonction = v
        Case "vTelephone": o.vTelephone = v
        Case "vDateRedressement": o.vDateRedressement = v
        Case "vAdr_BureauDistrib": o.vAdr_BureauDistrib = v
        Case "vAdr_Bureau_Distrib": o.vAdr_Bureau_Distrib = v
        Case "vAdr_Code_Etendu": o.vAdr_Code_Etendu = v
        Case "vAdr_Code_INSEE": o.vAdr_Code_INSEE = v
        Case "vAdr_CodePays": o.vAdr_CodePays = v
        Case "vAdr_CodePostal": o.vAdr_CodePostal = v
        Case "vAdr_Complement": o.vAdr_Complement = v
        Case "vAdr_Entree": o.vAdr_Entree = v
        Case "vAdr_Pays": o.vAdr_Pays = v
        Case "vAdr_Ville": o.vAdr_Ville = v
        Case "vAdr_Voie": o.vAdr_Voie = v
    End Select
End Sub

Aller_Retour emetteur, Array("vCode", "vNom", "vEmail", "vSMS", "vCodeApplication", _
    "vNomApplication", "vVersionApplication"), "Cls_Emetteur"
Aller_Retour redevable, Array("vFRP", "vSIRET", "vOCFI", "vTVAIntracom", "vNomSociete", _
    "vRepresentant", "vFonction", "vTelephone", "vEmail", "vDateRedressement", _
    "vAdr_BureauDistrib", "vAdr_Code_Etendu", "vAdr_Code_INSEE", "vAdr_CodePays", _
    "vAdr_CodePostal", "vAdr_Complement", "vAdr_Entree", "vAdr_Pays", "vAdr_Ville", _
    "vAdr_Voie"), "Cls_Redevable"
Aller_Retour redacteur, Array("vNom", "vSIRET", "vEmail", "vTelephone", "vSMS", _
    "vAdr_Bureau_Distrib", "vAdr_Code_Etendu", "vAdr_Code_INSEE", "vAdr_CodePays", _
    "vAdr_CodePostal", "vAdr_Complement", "vAdr_Entree", "vAdr_Pays", "vAdr_Ville", _
    "vAdr_Voie"), "Cls_Redacteur"

' The street number: at most 9998, larger ones dropped silently.
For Each objet In Array(redevable, redacteur)
    Verifier objet.vAdr_Numero = 0 And VarType(objet.vAdr_Numero) = vbInteger, "numero 0 en Integer au depart"
    objet.vAdr_Numero = 9998
    objet.vAdr_Numero = 9999
    Verifier objet.vAdr_Numero = 9998, "9999 ignore"
    objet.vAdr_Numero = -1
    Verifier objet.vAdr_Numero = -1, "numero negatif garde"
    objet.vAdr_Numero = "12"
    Verifier objet.vAdr_Numero = 12, "texte numerique converti"
    VerifierSucces "numeros sans erreur"
Next

' What a careless host sends: a numbered error, the value kept.
redevable.vAdr_Numero = 40000
VerifierErreur 6, "numero hors de 16 bits"
redevable.vAdr_Numero = "douze"
VerifierErreur 13, "numero non numerique"
redevable.vAdr_Numero = Null
VerifierErreur 94, "numero Null"
redevable.vAdr_Numero = Array(1, 2)
VerifierErreur 13, "tableau pour un numero"
Verifier redevable.vAdr_Numero = 12, "numero garde apres les refus"
emetteur.vNom = Array("a", "b")
VerifierErreur 13, "tableau pour un texte"
emetteur.vNom = Nothing
VerifierErreur 91, "Nothing pour un texte"
emetteur.vNom = emetteur
VerifierErreur 13, "un objet pour un texte"
emetteur.vNom = Null
VerifierErreur 94, "Null pour un texte"
Verifier emetteur.vNom = "Soci" & e_aigu & "t" & e_aigu & " vNom", "texte garde apres les refus"
emetteur.vNom = 12.5
Verifier Err.Number = 0 And emetteur.vNom = CStr(12.5), "nombre pour un texte : son texte"
Err.Clear

' A huge text (two million characters) comes back whole; the euro sign too.
enorme = String(2000000, "x") & Chr(128)
redacteur.vAdr_Voie = enorme
VerifierSucces "texte enorme accepte"
texte = redacteur.vAdr_Voie
Verifier Len(texte) = 2000001 And texte = enorme, "texte enorme rendu entier (" & Len(texte) & ")"

' A member that does not exist.
objet = emetteur.vInexistant
Verifier Err.Number = 438, "membre inconnu (" & Err.Number & ")"
Err.Clear
On Error GoTo 0
Terminer "enregistrements"
